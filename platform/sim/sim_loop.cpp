#include "platform/sim/sim_loop.h"

#include <ctime>

namespace fon::sim {

// 2026-12-08 09:05:03, a Tuesday; read as local time of the simulated desk.
SimLoop::SimLoop() : wallStart_(1796720703) {}

std::uint64_t SimLoop::Schedule(std::uint64_t delayMs, std::function<void()> task) {
  // Posted tasks keep rank 0: before whatever else falls due now, in order.
  const std::uint64_t rank = tieBreakOn_ && delayMs != 0 ? 1 + tieBreak_() % (1ull << 62) : 0;
  Key key{now_ + delayMs, rank, ++seq_};
  queue_.emplace(key, std::move(task));
  ticketKeys_[seq_] = key;
  return seq_;
}

bool SimLoop::RunOne() {
  if (queue_.empty()) return false;
  auto it = queue_.begin();
  Key key = it->first;
  std::function<void()> task = std::move(it->second);
  queue_.erase(it);
  ticketKeys_.erase(std::get<2>(key));
  if (std::get<0>(key) > now_) now_ = std::get<0>(key);
  ++depth_;
  task();
  --depth_;
  return true;
}

bool SimLoop::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (quit_) return false;
    // Nothing left that could ever make `done` true: a real loop would wait
    // forever; the simulation reports it instead of hanging the test.
    if (!RunOne()) return false;
  }
  return true;
}

bool SimLoop::RunUntilFor(const std::function<bool()>& done, std::uint64_t limitMs) {
  std::uint64_t end = now_ + limitMs;
  while (!done()) {
    if (quit_) return false;
    if (queue_.empty() || std::get<0>(queue_.begin()->first) > end) {
      // A nested loop inside the last event may have run past the bound:
      // the clock never goes back.
      if (now_ < end) now_ = end;
      return done();
    }
    RunOne();
  }
  return true;
}

void SimLoop::RunFor(std::uint64_t ms) {
  std::uint64_t end = now_ + ms;
  while (!quit_ && !queue_.empty() && std::get<0>(queue_.begin()->first) <= end) RunOne();
  if (now_ < end) now_ = end;
}

std::string SimLoop::CtimeNow() const {
  std::time_t t = static_cast<std::time_t>(wallStart_ + static_cast<std::int64_t>(now_ / 1000));
  std::tm tm{};
  gmtime_r(&t, &tm);  // the start value is already local time
  char buf[64];
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::snprintf(buf, sizeof buf, "%s %s %2d %02d:%02d:%02d %d\n", kDays[tm.tm_wday], kMonths[tm.tm_mon],
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_year + 1900);
  return buf;
}

}  // namespace fon::sim
