#include "platform/sim/sim_desktop.h"

namespace fon::sim {

bool SimDesktopView::SetForegroundWindow(WindowHandle window) {
  foregroundSets.push_back(window);
  foreground = window;
  return true;
}

bool SimDesktopView::GetTaskbarRect(Rect* rect) {
  if (!taskbar) return false;
  *rect = *taskbar;
  return true;
}

}  // namespace fon::sim
