// Window timers: repetition, restarts, kills from inside callbacks, and
// timers that go with their owner.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <vector>

#include "harness.h"

namespace fon::contract {
namespace {

class Recorder final : public TimerSink {
 public:
  void OnTimer(unsigned id) override {
    fired.push_back(id);
    if (onTimer) onTimer(id);
  }
  std::size_t Count(unsigned id) const {
    std::size_t n = 0;
    for (unsigned f : fired) n += f == id;
    return n;
  }
  std::vector<unsigned> fired;
  std::function<void(unsigned)> onTimer;
};

class TimersContract : public ::testing::Test {
 protected:
  void SetUp() override { harness_ = MakeHarness(); }
  ITimers& Timers() { return harness_->Platform().Timers(); }
  std::unique_ptr<Harness> harness_;
};

TEST_F(TimersContract, RepeatUntilKilledAndKeepIdsPerSink) {
  Recorder a, b;
  Timers().SetTimer(&a, 3, 20);
  Timers().SetTimer(&b, 3, 20);  // same id, other sink: a timer of its own
  EXPECT_TRUE(Timers().IsTimerRunning(&a, 3));
  EXPECT_TRUE(Timers().IsTimerRunning(&b, 3));
  EXPECT_FALSE(Timers().IsTimerRunning(&a, 4));

  ASSERT_TRUE(harness_->RunUntil([&] { return a.Count(3) >= 3 && b.Count(3) >= 3; }, 3000));
  Timers().KillTimer(&a, 3);
  EXPECT_FALSE(Timers().IsTimerRunning(&a, 3));
  EXPECT_TRUE(Timers().IsTimerRunning(&b, 3));
  const std::size_t aBefore = a.fired.size();
  const std::size_t bBefore = b.fired.size();
  harness_->Pump(150);
  EXPECT_EQ(a.fired.size(), aBefore);
  EXPECT_GT(b.fired.size(), bBefore);
}

TEST_F(TimersContract, SettingARunningTimerRestartsItsPeriod) {
  Recorder r;
  Timers().SetTimer(&r, 1, 150);
  // Restarted every 50 ms, a 150 ms timer never comes due.
  for (int i = 0; i < 6; ++i) {
    harness_->Pump(50);
    Timers().SetTimer(&r, 1, 150);
  }
  EXPECT_EQ(r.Count(1), 0u);
  // A new period replaces the old one.
  Timers().SetTimer(&r, 1, 10);
  EXPECT_TRUE(harness_->RunUntil([&] { return r.Count(1) >= 2; }, 1000));
}

TEST_F(TimersContract, KillAllTimersStopsEveryTimerOfOneSink) {
  Recorder r, other;
  for (unsigned id : {0u, 1u, 15u, 789u}) Timers().SetTimer(&r, id, 10);
  Timers().SetTimer(&other, 2, 10);
  Timers().KillAllTimers(&r);
  for (unsigned id : {0u, 1u, 15u, 789u}) EXPECT_FALSE(Timers().IsTimerRunning(&r, id));
  EXPECT_TRUE(Timers().IsTimerRunning(&other, 2));
  harness_->Pump(100);
  EXPECT_TRUE(r.fired.empty());
  EXPECT_FALSE(other.fired.empty());
}

TEST_F(TimersContract, KillsInsideACallbackStopTicksAlreadyDue) {
  // Whichever comes first kills itself, its sibling and another owner's
  // timer; ticks of the others that are already due must not arrive.
  Recorder r, other;
  r.onTimer = [&](unsigned) {
    Timers().KillTimer(&r, 1);
    Timers().KillTimer(&r, 2);
    Timers().KillTimer(&other, 1);
  };
  Timers().SetTimer(&r, 1, 10);
  Timers().SetTimer(&r, 2, 10);
  Timers().SetTimer(&other, 1, 10);
  harness_->Pump(200);
  EXPECT_EQ(r.fired.size(), 1u);
  // The other owner may have been first once, never after the kill.
  EXPECT_LE(other.fired.size(), 1u);
  EXPECT_FALSE(Timers().IsTimerRunning(&other, 1));
}

TEST_F(TimersContract, AnOwnerThatGoesAwayTakesItsTimersWithIt) {
  // A new owner in the same place must not inherit the old one's timers.
  alignas(Ticker) unsigned char place[sizeof(Ticker)];
  Ticker* first = new (place) Ticker;
  Timers().SetTimer(first, 1, 10);
  Timers().SetTimer(first, 15, 10);
  first->~Ticker();
  Ticker* second = new (place) Ticker;
  EXPECT_FALSE(Timers().IsTimerRunning(second, 1));
  EXPECT_FALSE(Timers().IsTimerRunning(second, 15));
  harness_->Pump(100);
  EXPECT_EQ(second->ticks, 0);
  second->~Ticker();

  // Also when it goes inside its own callback.
  auto owner = std::make_unique<Recorder>();
  Recorder* raw = owner.get();
  raw->onTimer = [&](unsigned) { owner.reset(); };
  Timers().SetTimer(raw, 2, 10);
  Timers().SetTimer(raw, 3, 10);
  EXPECT_TRUE(harness_->RunUntil([&] { return !owner; }, 1000));
  harness_->Pump(100);  // no tick reaches the deleted owner (the sanitizers watch)
}

}  // namespace
}  // namespace fon::contract
