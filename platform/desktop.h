// The desktop: which window has the focus, the taskbar and the screen.
#pragma once

#include "platform/types.h"

namespace fon {

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
};

}  // namespace fon
