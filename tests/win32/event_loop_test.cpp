// The message loop: posted tasks, nested loops, quitting and the clock.
#include "test_support.h"

#include <regex>
#include <vector>

namespace fon::win32 {
namespace {

using testing::MakePlatform;
using testing::PumpFor;
using testing::RunUntilOr;

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
