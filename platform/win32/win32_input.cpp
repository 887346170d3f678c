#include "platform/win32/win32_input.h"

namespace fon::win32 {

bool Win32Input::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  return frame_ && ::RegisterHotKey(frame_, id, modifiers, virtualKey) != FALSE;
}

void Win32Input::UnregisterHotKey(int id) {
  if (frame_) ::UnregisterHotKey(frame_, id);
}

bool Win32Input::IsKeyDown(int virtualKey) {
  // Activity is a key that went down since the last query and is up again
  // (GetAsyncKeyState gives exactly 1); a key held down the whole time is
  // not activity.
  return ::GetAsyncKeyState(virtualKey) == 1;
}

std::optional<Point> Win32Input::GetCursorPos() {
  POINT pt{};
  if (!::GetCursorPos(&pt)) return std::nullopt;
  return Point{pt.x, pt.y};
}

unsigned Win32Input::GetDoubleClickTime() { return ::GetDoubleClickTime(); }

void Win32Input::SendCopyKeys() {
  ::keybd_event(VK_CONTROL, 0, 0, 0);
  ::keybd_event('C', 0, 0, 0);
  ::keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
  ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

}  // namespace fon::win32
