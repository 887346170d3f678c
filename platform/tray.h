// The notification-area icon of the main frame and its menu.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace fon {

enum TrayMessage { kTrayAdd = 0, kTrayModify = 1, kTrayDelete = 2 };

// The message the shell sends the frame for mouse activity on its icon
// (WM_USER + 2); wParam the icon id, lParam the mouse message.
inline constexpr unsigned kTrayCallbackMessage = 0x0400 + 2;

// Mouse messages of the tray icon callback.
enum : unsigned {
  kWmLButtonDown = 0x0201,
  kWmLButtonUp = 0x0202,
  kWmLButtonDblClk = 0x0203,
  kWmRButtonDown = 0x0204,
  kWmRButtonUp = 0x0205,
};

// A menu item made at run time.
struct MenuItem {
  int command;
  std::string text;
  friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

class ITray {
 public:
  virtual ~ITray() = default;
  // Shell_NotifyIcon for icon id 1 of the frame window. The shell keeps at
  // most 63 characters of the tip.
  virtual bool NotifyIcon(int message, int iconResource, const std::string& tip) = 0;
  // Shows a tray menu resource at a screen point and returns the chosen
  // command (0 when dismissed). Runs a nested loop while the menu is open.
  // `subMenuItems`, when there are any, replace the items of the menu's
  // sub-menu for this showing.
  virtual int TrackTrayMenu(int menuResource, Point at, const std::vector<MenuItem>& subMenuItems) = 0;
};

}  // namespace fon
