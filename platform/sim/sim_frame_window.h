// The hidden main frame: its events are called by tests directly.
#pragma once

#include <functional>
#include <memory>

#include "platform/sim/sim_loop.h"
#include "platform/windowing.h"

namespace fon::sim {

class SimFrameWindow final : public IFrameWindow {
 public:
  explicit SimFrameWindow(SimLoop& loop, IFrameEvents* events) : loop_(loop), events(events) {}
  ~SimFrameWindow() override {
    *alive_ = false;
    if (onGone) onGone();
  }
  SimFrameWindow(const SimFrameWindow&) = delete;
  SimFrameWindow& operator=(const SimFrameWindow&) = delete;
  WindowHandle Handle() const override { return 0x1000; }
  void Show(bool shown) override { visible = shown; }
  void Destroy() override {
    destroyed = true;
    loop_.Quit(0);
  }
  // The session is locked or unlocked: the notification arrives from the
  // message loop, as the window message does.
  void PostSessionChange(bool locked) {
    loop_.Post([target = events, alive = alive_, locked] {
      if (*alive) target->OnSessionChange(locked);
    });
  }
  // Windows ends the session: the frame hears of it from the message loop.
  void PostEndSession() {
    loop_.Post([this, alive = alive_] {
      if (*alive && events && !destroyed) events->OnEndSession();
    });
  }
  SimLoop& loop_;
  IFrameEvents* events;
  bool destroyed = false;
  bool visible = false;
  std::function<void()> onGone;

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace fon::sim
