#include "platform/win32/win32_timers.h"

#include <iterator>

namespace fon::win32 {

Win32Timers::Win32Timers(HINSTANCE instance)
    : window_(instance, [this](UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
        *result = 0;
        return OnMessage(message, wParam);
      }) {}

Win32Timers::~Win32Timers() {
  for (auto& entry : byKey_) Bind(entry.first.first, nullptr);
}

void Win32Timers::SetTimer(TimerSink* sink, unsigned id, unsigned ms) {
  if (!sink || !window_.Handle()) return;
  Key key{sink, id};
  auto it = byKey_.find(key);
  UINT_PTR timerId = 0;
  if (it != byKey_.end()) {
    timerId = it->second;  // SetTimer on a running id restarts its period
  } else {
    timerId = nextTimerId_++;
  }
  if (::SetTimer(window_.Handle(), timerId, ms, nullptr) == 0) {
    if (it != byKey_.end()) Forget(it);
    return;
  }
  if (it == byKey_.end()) {
    byKey_.emplace(key, timerId);
    byTimerId_.emplace(timerId, key);
  }
  Bind(sink, this);
}

void Win32Timers::KillTimer(TimerSink* sink, unsigned id) {
  auto it = byKey_.find(Key{sink, id});
  if (it != byKey_.end()) Forget(it);
}

void Win32Timers::KillAllTimers(TimerSink* sink) {
  auto it = byKey_.lower_bound(Key{sink, 0});
  while (it != byKey_.end() && it->first.first == sink) {
    auto next = std::next(it);
    Forget(it);
    it = next;
  }
}

bool Win32Timers::IsTimerRunning(TimerSink* sink, unsigned id) const { return byKey_.count(Key{sink, id}) != 0; }

void Win32Timers::Forget(std::map<Key, UINT_PTR>::iterator it) {
  TimerSink* sink = it->first.first;
  ::KillTimer(window_.Handle(), it->second);
  byTimerId_.erase(it->second);
  auto next = byKey_.erase(it);
  bool more = (next != byKey_.end() && next->first.first == sink) ||
              (next != byKey_.begin() && std::prev(next)->first.first == sink);
  if (!more) Bind(sink, nullptr);
}

bool Win32Timers::OnMessage(UINT message, WPARAM wParam) {
  if (message != WM_TIMER) return false;
  auto it = byTimerId_.find(static_cast<UINT_PTR>(wParam));
  if (it == byTimerId_.end()) return true;  // killed after it was queued
  // Copy out before the call: the sink may kill or restart any timer,
  // itself included, and may even be destroyed by what it does.
  Key key = it->second;
  key.first->OnTimer(key.second);
  return true;
}

}  // namespace fon::win32
