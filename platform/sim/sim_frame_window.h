// The hidden main frame: its events are called by tests directly.
#pragma once

#include "platform/sim/sim_loop.h"
#include "platform/windowing.h"

namespace fon::sim {

class SimFrameWindow final : public IFrameWindow {
 public:
  explicit SimFrameWindow(SimLoop& loop, IFrameEvents* events) : loop_(loop), events(events) {}
  WindowHandle Handle() const override { return 0x1000; }
  void Show(bool shown) override { visible = shown; }
  void Destroy() override {
    destroyed = true;
    loop_.Quit(0);
  }
  // Windows ends the session: the frame hears of it from the message loop.
  void PostEndSession() {
    loop_.Post([this] {
      if (events && !destroyed) events->OnEndSession();
    });
  }
  SimLoop& loop_;
  IFrameEvents* events;
  bool destroyed = false;
  bool visible = false;
};

}  // namespace fon::sim
