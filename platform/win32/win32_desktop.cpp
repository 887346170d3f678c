#include "platform/win32/win32_desktop.h"

#include "platform/win32/monitor_dpi.h"
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

}  // namespace fon::win32
