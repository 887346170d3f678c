// Plain value types the platform interfaces share. Text is single-byte ANSI
// (Windows-1252) throughout; std::string holds raw bytes.
#pragma once

#include <cstdint>

namespace fon {

using WindowHandle = std::uintptr_t;  // opaque; 0 = none

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

}  // namespace fon
