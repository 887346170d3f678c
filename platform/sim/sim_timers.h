// Window timers on the virtual clock.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "platform/sim/sim_loop.h"
#include "platform/timers.h"

namespace fon::sim {

class SimTimers final : public ITimers {
 public:
  explicit SimTimers(SimLoop& loop) : loop_(loop) {}
  ~SimTimers() override;
  void SetTimer(TimerSink* sink, unsigned id, unsigned ms) override;
  void KillTimer(TimerSink* sink, unsigned id) override;
  void KillAllTimers(TimerSink* sink) override;
  bool IsTimerRunning(TimerSink* sink, unsigned id) const override;
  // Interval of a running timer, 0 when not running.
  unsigned Interval(TimerSink* sink, unsigned id) const;

 private:
  using Key = std::pair<TimerSink*, unsigned>;
  struct Entry {
    unsigned interval;
    std::uint64_t ticket;
  };
  void Arm(TimerSink* sink, unsigned id, Entry& entry);
  void Forget(std::map<Key, Entry>::iterator it);
  SimLoop& loop_;
  std::map<Key, Entry> timers_;
};

}  // namespace fon::sim
