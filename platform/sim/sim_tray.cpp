#include "platform/sim/sim_tray.h"

namespace fon::sim {

bool SimTray::NotifyIcon(int message, int iconResource, const std::string& tip) {
  // The shell keeps at most 63 characters of a tip.
  std::string cut = tip.substr(0, 63);
  trayCalls.push_back({message, iconResource, cut});
  if (failNextNotify || shellUnavailable) {
    failNextNotify = false;
    return false;
  }
  // One icon id per window: an add while an icon exists fails, as does a
  // delete without one.
  bool exists = !trayIcons.empty();
  if (message == kTrayAdd) {
    if (exists) return false;
    trayIcons[iconResource] = {message, iconResource, cut};
    return true;
  }
  if (message == kTrayDelete) {
    if (!exists) return false;
    trayIcons.clear();
    return true;
  }
  if (!exists) return false;
  trayIcons.clear();
  trayIcons[iconResource] = {message, iconResource, cut};
  return true;
}

int SimTray::TrackTrayMenu(int menuResource, Point at, const std::vector<MenuItem>& subMenuItems) {
  menusShown.push_back({menuResource, at});
  lastSubMenuItems = subMenuItems;
  if (menuScript.empty()) return 0;
  auto answer = std::move(menuScript.front());
  menuScript.pop_front();
  return answer();
}

}  // namespace fon::sim
