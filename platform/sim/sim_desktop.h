// The simulated desktop: what several simulated processes of one session
// share, and the focus, taskbar and screen one client sees.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop.h"
#include "platform/windowing.h"

namespace fon::sim {

// Shared by every simulated process of one desktop, so that a second
// instance sees the first one's mutex.
struct SimDesktop {
  std::set<std::string> mutexes;
  std::map<int, std::pair<unsigned, unsigned>> hotkeysTakenByOthers;  // id ignored: (mod, vk)
  // The frames of the clients on this desktop, the oldest first.
  std::vector<IFrameEvents*> frames;
};

class SimDesktopView : public IDesktop {
 public:
  WindowHandle GetForegroundWindow() override { return foreground; }
  bool SetForegroundWindow(WindowHandle window) override;
  bool GetTaskbarRect(Rect* rect) override;
  int ScreenWidth() override { return screen.right; }
  Rect WorkArea() override { return workArea; }
  int DpiAt(const Rect& /*area*/) override { return dpi; }
  UserNotificationState QueryUserNotificationState() override { return notificationState; }
  bool FullScreenWindowInFront() override { return fullScreenInFront; }

  WindowHandle foreground = 0x5000;  // some other application has the focus
  std::vector<WindowHandle> foregroundSets;
  Rect screen{0, 0, 1280, 1024};
  std::optional<Rect> taskbar = Rect{0, 994, 1280, 1024};
  Rect workArea{0, 0, 1280, 994};
  int dpi = kDefaultDpi;  // of the one monitor
  UserNotificationState notificationState = UserNotificationState::kAcceptsNotifications;
  bool fullScreenInFront = false;

 protected:
  ~SimDesktopView() override = default;
};

}  // namespace fon::sim
