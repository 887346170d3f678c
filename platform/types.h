// Plain value types the platform interfaces share. Text is single-byte ANSI
// (Windows-1252) throughout; std::string holds raw bytes.
#pragma once

#include <cstdint>

namespace fon {

// Dots per inch of a monitor at 100 % scale; layouts are made for it.
inline constexpr int kDefaultDpi = 96;

// `value` pixels at `fromDpi` as pixels at `toDpi`, halves rounded away
// from zero (as the skins drawn for each scale are).
constexpr int ScaleBetween(int value, int toDpi, int fromDpi) {
  if (fromDpi <= 0) return value;
  const long long scaled = static_cast<long long>(value) * toDpi;
  const long long half = fromDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / fromDpi : -((-scaled + half) / fromDpi));
}
constexpr int ScaleToDpi(int value, int dpi) { return ScaleBetween(value, dpi, kDefaultDpi); }

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
