#include "platform/win32/monitor_dpi.h"

#include "platform/types.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

namespace {

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <class Fn>
Fn Lookup(const char* module, const char* name) {
  HMODULE loaded = ::GetModuleHandleA(module);
  if (!loaded) loaded = ::LoadLibraryA(module);  // stays loaded for the process
  return loaded ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(loaded, name))) : nullptr;
}

}  // namespace

int SystemDpi() {
  ScopedWindowDc screen(nullptr);
  const int dpi = screen.Dc() ? ::GetDeviceCaps(screen.Dc(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

int MonitorDpi(HMONITOR monitor) {
  static const auto getDpiForMonitor = Lookup<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
    return static_cast<int>(y);
  return SystemDpi();
}

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = Lookup<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
  if (window && getDpiForWindow) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return MonitorDpi(window ? ::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY) : nullptr);
}

}  // namespace fon::win32
