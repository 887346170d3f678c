// Window timers of the core's timer sinks, all carried by one hidden window.
#pragma once

#include "platform/platform.h"
#include "platform/win32/message_window.h"

#include <map>
#include <unordered_map>
#include <utility>

namespace fon::win32 {

class Win32Timers final : public ITimers {
 public:
  explicit Win32Timers(HINSTANCE instance);
  ~Win32Timers() override;

  bool Ready() const { return window_.Handle() != nullptr; }

  void SetTimer(TimerSink* sink, unsigned id, unsigned ms) override;
  void KillTimer(TimerSink* sink, unsigned id) override;
  void KillAllTimers(TimerSink* sink) override;
  bool IsTimerRunning(TimerSink* sink, unsigned id) const override;

 private:
  using Key = std::pair<TimerSink*, unsigned>;

  bool OnMessage(UINT message, WPARAM wParam);
  void Forget(std::map<Key, UINT_PTR>::iterator it);

  // Every (sink, id) gets a Win32 timer id of its own that is never reused,
  // so a WM_TIMER already queued for a killed timer finds no entry.
  std::map<Key, UINT_PTR> byKey_;
  std::unordered_map<UINT_PTR, Key> byTimerId_;
  UINT_PTR nextTimerId_ = 1;
  MessageWindow window_;
};

}  // namespace fon::win32
