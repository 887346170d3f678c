// Timers and the message loop: what fires when, nested loops and quitting.
#include "test_support.h"

#include <regex>
#include <vector>

namespace fon::win32 {
namespace {

using testing::MakePlatform;
using testing::PumpFor;
using testing::RunUntilOr;

class Recorder final : public TimerSink {
 public:
  void OnTimer(unsigned id) override {
    fired.push_back(id);
    if (onTimer) onTimer(id);
  }
  std::vector<unsigned> fired;
  std::function<void(unsigned)> onTimer;
  std::size_t Count(unsigned id) const {
    std::size_t n = 0;
    for (unsigned f : fired) n += f == id;
    return n;
  }
};

TEST(Timers, RepeatUntilKilledAndKeepIdsPerSink) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  ITimers& timers = platform->Timers();
  Recorder a, b;
  timers.SetTimer(&a, 3, 20);
  timers.SetTimer(&b, 3, 20);  // same id, other sink: a timer of its own
  EXPECT_TRUE(timers.IsTimerRunning(&a, 3));
  EXPECT_TRUE(timers.IsTimerRunning(&b, 3));
  EXPECT_FALSE(timers.IsTimerRunning(&a, 4));

  ASSERT_TRUE(RunUntilOr(*platform, [&] { return a.Count(3) >= 3 && b.Count(3) >= 3; }, 3000));
  timers.KillTimer(&a, 3);
  EXPECT_FALSE(timers.IsTimerRunning(&a, 3));
  EXPECT_TRUE(timers.IsTimerRunning(&b, 3));
  std::size_t aBefore = a.fired.size();
  std::size_t bBefore = b.fired.size();
  PumpFor(*platform, 150);
  EXPECT_EQ(a.fired.size(), aBefore);
  EXPECT_GT(b.fired.size(), bBefore);
  timers.KillAllTimers(&b);
}

TEST(Timers, SettingARunningTimerRestartsItsPeriod) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  Recorder r;
  platform->Timers().SetTimer(&r, 1, 150);
  // Restarted every 50 ms, a 150 ms timer never comes due.
  for (int i = 0; i < 6; ++i) {
    PumpFor(*platform, 50);
    platform->Timers().SetTimer(&r, 1, 150);
  }
  EXPECT_EQ(r.Count(1), 0u);
  // A new period replaces the old one.
  platform->Timers().SetTimer(&r, 1, 10);
  EXPECT_TRUE(RunUntilOr(*platform, [&] { return r.Count(1) >= 2; }, 1000));
  platform->Timers().KillAllTimers(&r);
}

TEST(Timers, KillAllTimersStopsEveryTimerOfOneSink) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  Recorder r, other;
  for (unsigned id : {0u, 1u, 15u, 789u}) platform->Timers().SetTimer(&r, id, 10);
  platform->Timers().SetTimer(&other, 2, 10);
  platform->Timers().KillAllTimers(&r);
  for (unsigned id : {0u, 1u, 15u, 789u}) EXPECT_FALSE(platform->Timers().IsTimerRunning(&r, id));
  EXPECT_TRUE(platform->Timers().IsTimerRunning(&other, 2));
  PumpFor(*platform, 100);
  EXPECT_TRUE(r.fired.empty());
  EXPECT_FALSE(other.fired.empty());
  platform->Timers().KillAllTimers(&other);
}

TEST(Timers, ASinkMayKillItselfAndAnotherTimerInItsCallback) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  Recorder r;
  // Whichever comes first kills both; a tick of the other one that is
  // already on its way must not arrive.
  r.onTimer = [&](unsigned) {
    platform->Timers().KillTimer(&r, 1);
    platform->Timers().KillTimer(&r, 2);
  };
  platform->Timers().SetTimer(&r, 1, 10);
  platform->Timers().SetTimer(&r, 2, 10);
  PumpFor(*platform, 200);
  EXPECT_EQ(r.fired.size(), 1u);
}

TEST(EventLoop, PostedTasksRunInOrderAfterTheCurrentMessage) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  std::vector<int> order;
  platform->Loop().Post([&] {
    order.push_back(1);
    platform->Loop().Post([&] { order.push_back(4); });
    order.push_back(2);
  });
  platform->Loop().Post([&] { order.push_back(3); });
  EXPECT_TRUE(order.empty());  // nothing runs inside Post
  ASSERT_TRUE(RunUntilOr(*platform, [&] { return order.size() == 4; }, 1000));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(EventLoop, TasksQueuedBehindANestedLoopStillRun) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  bool second = false;
  bool nestedSawSecond = false;
  platform->Loop().Post([&] {
    // A task that runs a nested loop (a modal dialog, a blocking connect).
    nestedSawSecond = RunUntilOr(*platform, [&] { return second; }, 1000);
  });
  platform->Loop().Post([&] { second = true; });
  RunUntilOr(*platform, [&] { return second; }, 2000);
  PumpFor(*platform, 20);
  EXPECT_TRUE(nestedSawSecond);
}

TEST(EventLoop, QuitEndsNestedLoopsAndReachesTheOuterLoop) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  testing::Ticker ticker;
  platform->Timers().SetTimer(&ticker, 1, 10);
  bool innerResult = true;
  platform->Loop().Post([&] {
    platform->Loop().Quit(7);
    innerResult = platform->Loop().RunUntil([] { return false; });
  });
  // The outermost loop sees the quit only after the nested loop gave it back.
  int code = platform->RunMessageLoop();
  platform->Timers().KillAllTimers(&ticker);
  EXPECT_FALSE(innerResult);
  EXPECT_EQ(code, 7);
}

TEST(EventLoop, RunUntilReturnsAtOnceWhenAlreadyDone) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  int checks = 0;
  EXPECT_TRUE(platform->Loop().RunUntil([&] { return ++checks > 0; }));
  EXPECT_EQ(checks, 1);
}

TEST(EventLoop, ClockAndLocalTime) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  std::uint64_t t0 = platform->Loop().NowMs();
  platform->Loop().Sleep(100);
  std::uint64_t t1 = platform->Loop().NowMs();
  EXPECT_GE(t1 - t0, 70u);  // the tick count moves in steps of several ms
  EXPECT_LT(t1 - t0, 1000u);
  std::string now = platform->Loop().CtimeNow();
  EXPECT_TRUE(std::regex_match(now, std::regex(R"((Mon|Tue|Wed|Thu|Fri|Sat|Sun) [A-Z][a-z]{2} [ 0-3]\d \d{2}:\d{2}:\d{2} \d{4}\n)")))
      << now;
}

}  // namespace
}  // namespace fon::win32
