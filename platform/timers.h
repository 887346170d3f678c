// Window timers: per owner, repeating until killed, and never outliving the
// owner.
#pragma once

namespace fon {

class ITimers;

// An object that owns window timers (the frame, a popup, a dialog). Ids are
// per owner, as window timers are per window. Destroying the owner removes
// its timers, as destroying a window does: a dialog or popup that goes away
// with a timer still running is never called back.
class TimerSink {
 public:
  virtual void OnTimer(unsigned id) = 0;

  TimerSink(const TimerSink&) = delete;
  TimerSink& operator=(const TimerSink&) = delete;

 protected:
  TimerSink() = default;
  ~TimerSink();

 private:
  friend class ITimers;
  // The timers that run timers of this sink now; null when none runs.
  ITimers* timers_ = nullptr;
};

class ITimers {
 public:
  virtual ~ITimers() = default;
  // Starts or restarts timer `id` of `sink`; repeats every `ms` until killed.
  virtual void SetTimer(TimerSink* sink, unsigned id, unsigned ms) = 0;
  virtual void KillTimer(TimerSink* sink, unsigned id) = 0;
  // Every timer of a sink that goes away.
  virtual void KillAllTimers(TimerSink* sink) = 0;
  virtual bool IsTimerRunning(TimerSink* sink, unsigned id) const = 0;

 protected:
  // Implementations tell a sink when its first timer starts (bound) and when
  // its last one goes (unbound), and unbind every sink when they go first.
  static void Bind(TimerSink* sink, ITimers* timers) { sink->timers_ = timers; }
};

inline TimerSink::~TimerSink() {
  if (timers_) timers_->KillAllTimers(this);
}

}  // namespace fon
