#include "platform/sim/sim_platform.h"

namespace fon::sim {

SimPlatform::SimPlatform(std::shared_ptr<SimDesktop> desktop) : shell(desktop) {}

std::unique_ptr<IFrameWindow> SimPlatform::CreateFrameWindow(IFrameEvents* events) {
  auto window = std::make_unique<SimFrameWindow>(loop, events);
  frame = window.get();
  std::shared_ptr<SimDesktop> desktop = shell.SharedDesktop();
  desktop->frames.push_back(events);
  window->onGone = [desktop, events] {
    auto& frames = desktop->frames;
    for (auto it = frames.begin(); it != frames.end(); ++it) {
      if (*it == events) {
        frames.erase(it);
        break;
      }
    }
  };
  return window;
}

std::unique_ptr<IPopupWindow> SimPlatform::CreatePopupWindow(IPopupEvents* events, WindowHandle /*parent*/) {
  auto record = std::make_shared<SimPopupRecord>();
  record->handle = NewHandle();
  popups.push_back(record);
  return std::make_unique<SimPopupWindow>(record, events);
}

std::unique_ptr<IDialogWindow> SimPlatform::CreateDialogWindow(IDialogEvents* events) {
  auto record = std::make_shared<SimDialogRecord>();
  record->handle = NewHandle();
  dialogs.push_back(record);
  return std::make_unique<SimDialogWindow>(loop, modalScripts, tabStops, record, events);
}

std::vector<std::shared_ptr<SimPopupRecord>> SimPlatform::VisiblePopups() const {
  std::vector<std::shared_ptr<SimPopupRecord>> out;
  for (const auto& p : popups)
    if (p->alive && p->visible) out.push_back(p);
  return out;
}

}  // namespace fon::sim
