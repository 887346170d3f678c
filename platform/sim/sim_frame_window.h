// The hidden main frame: its events are called by tests directly.
#pragma once

#include <functional>

#include "platform/sim/sim_loop.h"
#include "platform/windowing.h"

namespace fon::sim {

class SimFrameWindow final : public IFrameWindow {
 public:
  explicit SimFrameWindow(SimLoop& loop, IFrameEvents* events) : loop_(loop), events(events) {}
  ~SimFrameWindow() override {
    if (onGone) onGone();
  }
  WindowHandle Handle() const override { return 0x1000; }
  void Show(bool shown) override { visible = shown; }
  void Destroy() override {
    destroyed = true;
    loop_.Quit(0);
  }
  SimLoop& loop_;
  IFrameEvents* events;
  bool destroyed = false;
  bool visible = false;
  std::function<void()> onGone;
};

}  // namespace fon::sim
