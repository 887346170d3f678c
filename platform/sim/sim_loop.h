// A deterministic message loop on a virtual clock.
//
// Events (timer ticks, socket notifications, posted tasks) sit in one queue
// ordered by due time. Running the loop advances the clock straight to the
// next event, so minutes of client life pass in microseconds.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "platform/event_loop.h"

namespace fon::sim {

class SimLoop : public IEventLoop {
 public:
  SimLoop();

  // ---- IEventLoop
  bool RunUntil(const std::function<bool()>& done) override;
  void Sleep(unsigned ms) override { now_ += ms; }
  void Post(std::function<void()> task) override { Schedule(0, std::move(task)); }
  std::uint64_t NowMs() const override { return now_; }
  std::string CtimeNow() const override;
  void Quit(int code) override {
    quit_ = true;
    exitCode_ = code;
  }

  // ---- driving the simulation
  // Queues `task` to run `delayMs` from now. Returns a ticket for Cancel.
  std::uint64_t Schedule(std::uint64_t delayMs, std::function<void()> task);
  void Cancel(std::uint64_t ticket) { queue_.erase(ticketKeys_[ticket]), ticketKeys_.erase(ticket); }
  // From now on, events due at the same moment run in an order drawn from
  // `seed` instead of the order they were queued in. Posted tasks still run
  // first and in their order: a message queue is first in, first out; what
  // is drawn is the order of timers, connects and server writes that fall
  // due together.
  void SetTieBreakSeed(std::uint64_t seed) {
    tieBreak_.seed(seed);
    tieBreakOn_ = true;
  }
  // Events running now, one inside the other (a nested loop runs events
  // inside the event that started it): 1 inside an event that the
  // outermost loop runs, 0 outside of every event.
  int Depth() const { return depth_; }
  // Runs every event due within the next `ms` and leaves the clock there.
  void RunFor(std::uint64_t ms);
  // Runs the events due now (posted tasks, immediate notifications).
  void RunPending() { RunFor(0); }
  // Runs until `done` or until `limitMs` of virtual time have passed.
  bool RunUntilFor(const std::function<bool()>& done, std::uint64_t limitMs);

  bool QuitRequested() const { return quit_; }
  int ExitCode() const { return exitCode_; }
  // Local wall time at virtual time 0 (seconds since the epoch, taken as
  // local time for the ctime text).
  void SetWallClockStart(std::int64_t epochSeconds) { wallStart_ = epochSeconds; }
  std::size_t PendingEvents() const { return queue_.size(); }

 private:
  using Key = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>;  // due time, drawn rank, sequence
  bool RunOne();

  std::uint64_t now_ = 0;
  std::uint64_t seq_ = 0;
  std::map<Key, std::function<void()>> queue_;
  std::map<std::uint64_t, Key> ticketKeys_;
  bool quit_ = false;
  int exitCode_ = 0;
  std::int64_t wallStart_;
  std::mt19937_64 tieBreak_;
  bool tieBreakOn_ = false;
  int depth_ = 0;
};

}  // namespace fon::sim
