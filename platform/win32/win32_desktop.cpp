#include "platform/win32/win32_desktop.h"

#include "platform/win32/monitor_dpi.h"
#include <shellapi.h>

#include <cstring>

#include "platform/win32/win32_handles.h"

namespace fon::win32 {

WindowHandle Win32Desktop::GetForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

bool Win32Desktop::SetForegroundWindow(WindowHandle window) { return ::SetForegroundWindow(ToHwnd(window)) != FALSE; }

bool Win32Desktop::GetTaskbarRect(Rect* rect) {
  HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
  if (!taskbar) return false;
  RECT r{};
  if (!::GetWindowRect(taskbar, &r)) return false;
  Rect result{r.left, r.top, r.right, r.bottom};
  if (result.IsEmpty()) return false;
  if (rect) *rect = result;
  return true;
}

int Win32Desktop::ScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }

Rect Win32Desktop::WorkArea() {
  RECT r{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) {
    r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  return Rect{r.left, r.top, r.right, r.bottom};
}

int Win32Desktop::DpiAt(const Rect& area) {
  const RECT r{area.left, area.top, area.right, area.bottom};
  return MonitorDpi(::MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY));
}

UserNotificationState Win32Desktop::QueryUserNotificationState() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(::SHQueryUserNotificationState(&state))) return UserNotificationState::kUnknown;
  const int value = static_cast<int>(state);
  if (value < 1 || value > 7) return UserNotificationState::kUnknown;
  return static_cast<UserNotificationState>(value);
}

bool Win32Desktop::FullScreenWindowInFront() {
  // Checked at every call event: the cheap test that nearly always decides
  // (does the window in front cover the screen?) comes first.
  HWND front = ::GetForegroundWindow();
  RECT r{};
  if (!front || !::GetWindowRect(front, &r)) return false;
  if (r.left > 0 || r.top > 0 || r.right < ::GetSystemMetrics(SM_CXSCREEN) ||
      r.bottom < ::GetSystemMetrics(SM_CYSCREEN))
    return false;
  if (front == ::GetDesktopWindow() || front == ::GetShellWindow() || !::IsWindowVisible(front)) return false;
  // Our own windows (a popup, a dialog the user opened) are never the show
  // the user is giving.
  DWORD process = 0;
  ::GetWindowThreadProcessId(front, &process);
  if (process == ::GetCurrentProcessId()) return false;
  char cls[32] = {};
  ::GetClassNameA(front, cls, sizeof(cls));
  // The desktop and the taskbar span the screen without being a program.
  return std::strcmp(cls, "Progman") != 0 && std::strcmp(cls, "WorkerW") != 0 &&
         std::strcmp(cls, "Shell_TrayWnd") != 0;
}

}  // namespace fon::win32
