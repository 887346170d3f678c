// The notification area: icons the client shows and menus it opens, with
// answers a test scripts.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/tray.h"

namespace fon::sim {

struct TrayCall {
  int message;
  int icon;
  std::string tip;
};

class SimTray : public ITray {
 public:
  bool NotifyIcon(int message, int iconResource, const std::string& tip) override;
  int TrackTrayMenu(int menuResource, Point at, const std::vector<MenuItem>& subMenuItems) override;

  std::vector<TrayCall> trayCalls;
  std::map<int, TrayCall> trayIcons;  // icon resource -> the add that shows it
  bool failNextNotify = false;
  // No shell to take icons (not started yet, or restarting): every call fails.
  bool shellUnavailable = false;
  std::vector<std::pair<int, Point>> menusShown;
  // The sub-menu items of the menu shown last.
  std::vector<MenuItem> lastSubMenuItems;
  // Answer of the next menus: a command id, 0 = dismissed. A function lets
  // a test act while the menu's nested loop would run.
  std::deque<std::function<int()>> menuScript;

  // The tray icon shown now (its resource), 0 when none.
  int VisibleTrayIcon() const { return trayIcons.empty() ? 0 : trayIcons.rbegin()->first; }
  std::string VisibleTrayTip() const { return trayIcons.empty() ? "" : trayIcons.rbegin()->second.tip; }

 protected:
  ~SimTray() override = default;
};

}  // namespace fon::sim
