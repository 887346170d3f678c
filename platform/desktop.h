// The desktop: which window has the focus, the taskbar and the screen.
#pragma once

#include "platform/types.h"

namespace fon {

// What the shell says of interrupting the user now; the numbers are those of
// SHQueryUserNotificationState (0 when it cannot tell).
enum class UserNotificationState : int {
  kUnknown = 0,
  kNotPresent = 1,
  kBusy = 2,
  kRunningD3dFullScreen = 3,
  kPresentationMode = 4,
  kAcceptsNotifications = 5,
  kQuietTime = 6,
  kApp = 7,
};

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  virtual WindowHandle GetForegroundWindow() = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;
  // The taskbar window's rectangle; false when there is none.
  virtual bool GetTaskbarRect(Rect* rect) = 0;
  virtual int ScreenWidth() = 0;
  virtual Rect WorkArea() = 0;
  // The scale of the monitor that shows most of `area`, in dots per inch
  // (96 is 100 %); the primary monitor's when `area` lies on none.
  virtual int DpiAt(const Rect& area) = 0;
  virtual UserNotificationState QueryUserNotificationState() = 0;
  // The window in front belongs to another program and covers the whole
  // primary monitor (a slide show, a film, a game).
  virtual bool FullScreenWindowInFront() = 0;
};

}  // namespace fon
