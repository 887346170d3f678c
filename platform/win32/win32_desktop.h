// The focus, the taskbar and the screen's work area.
#pragma once

#include "platform/desktop.h"
#include "platform/win32/windows_headers.h"

namespace fon::win32 {

class Win32Desktop final : public IDesktop {
 public:
  WindowHandle GetForegroundWindow() override;
  bool SetForegroundWindow(WindowHandle window) override;
  bool GetTaskbarRect(Rect* rect) override;
  int ScreenWidth() override;
  Rect WorkArea() override;
  int DpiAt(const Rect& area) override;
  UserNotificationState QueryUserNotificationState() override;
  bool FullScreenWindowInFront() override;
};

}  // namespace fon::win32
