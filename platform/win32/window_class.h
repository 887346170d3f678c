// Window classes are registered once per process; a second registration of
// the same name is the normal case for the second window of a kind.
#pragma once

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

inline bool EnsureWindowClass(const WNDCLASSEXA& wc) {
  if (::RegisterClassExA(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace fon::win32
