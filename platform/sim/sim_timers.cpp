#include "platform/sim/sim_timers.h"

#include <algorithm>

namespace fon::sim {

SimTimers::~SimTimers() {
  for (auto& entry : timers_) Bind(entry.first.first, nullptr);
}

void SimTimers::Arm(TimerSink* sink, unsigned id, Entry& entry) {
  entry.ticket = loop_.Schedule(entry.interval, [this, sink, id]() {
    auto it = timers_.find({sink, id});
    if (it == timers_.end()) return;
    Arm(sink, id, it->second);  // re-arm first: the handler may kill or restart it
    sink->OnTimer(id);
  });
}

void SimTimers::SetTimer(TimerSink* sink, unsigned id, unsigned ms) {
  if (!sink) return;
  auto [it, added] = timers_.try_emplace({sink, id}, Entry{0, 0});
  if (!added) loop_.Cancel(it->second.ticket);
  // Windows raises intervals below its timer resolution.
  it->second.interval = std::max(ms, 10u);
  Bind(sink, this);
  Arm(sink, id, it->second);
}

void SimTimers::Forget(std::map<Key, Entry>::iterator it) {
  TimerSink* sink = it->first.first;
  loop_.Cancel(it->second.ticket);
  auto next = timers_.erase(it);
  bool more = (next != timers_.end() && next->first.first == sink) ||
              (next != timers_.begin() && std::prev(next)->first.first == sink);
  if (!more) Bind(sink, nullptr);
}

void SimTimers::KillTimer(TimerSink* sink, unsigned id) {
  auto it = timers_.find({sink, id});
  if (it != timers_.end()) Forget(it);
}

void SimTimers::KillAllTimers(TimerSink* sink) {
  auto it = timers_.lower_bound({sink, 0});
  while (it != timers_.end() && it->first.first == sink) {
    auto next = std::next(it);
    Forget(it);
    it = next;
  }
}

bool SimTimers::IsTimerRunning(TimerSink* sink, unsigned id) const { return timers_.count({sink, id}) != 0; }

unsigned SimTimers::Interval(TimerSink* sink, unsigned id) const {
  auto it = timers_.find({sink, id});
  return it == timers_.end() ? 0 : it->second.interval;
}

}  // namespace fon::sim
