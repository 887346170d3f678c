// What the wait of a blocking connect does with the rest of the program:
// posted tasks and timers run inside it, and a modal dialog that one of them
// opens holds the connect until the dialog has ended. The client's handling
// of things that happen during a relay request rests on both.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "control_ids.h"
#include "harness.h"

namespace fon::contract {
namespace {

class NoEvents final : public ISocketEvents, public IDialogEvents {
 public:
  void OnConnect(int) override {}
  void OnReceive(int) override {}
  void OnClose(int) override {}
  void OnInitDialog() override {}
  void OnCommand(int) override {}
  void OnSelectionChange(int) override {}
};

// Runs `what` once, `ms` after it is started.
class Once final : public TimerSink {
 public:
  Once(IPlatform& platform, unsigned ms, std::function<void()> what)
      : platform_(platform), what_(std::move(what)) {
    platform_.Timers().SetTimer(this, 1, ms);
  }
  ~Once() { platform_.Timers().KillAllTimers(this); }
  void OnTimer(unsigned) override {
    platform_.Timers().KillTimer(this, 1);
    what_();
  }

 private:
  IPlatform& platform_;
  std::function<void()> what_;
};

TEST(NestedLoopContract, TimersAndPostedTasksRunInsideABlockingConnect) {
  auto harness = MakeHarness();
  IPlatform& p = harness->Platform();
  NoEvents none;
  int error = -1;
  auto socket = p.Network().CreateSocket(&none, &error);
  ASSERT_TRUE(socket);
  bool posted = false;
  p.Loop().Post([&] { posted = true; });
  Ticker ticker;
  p.Timers().SetTimer(&ticker, 1, 20);
  EXPECT_EQ(socket->ConnectBlocking("127.0.0.1", harness->SilentPort(), 300), kWsaETimedOut);
  p.Timers().KillAllTimers(&ticker);
  EXPECT_TRUE(posted);
  EXPECT_GE(ticker.ticks, 3);
}

TEST(NestedLoopContract, AModalDialogOpenedInsideABlockingConnectHoldsItUntilTheDialogEnds) {
  auto harness = MakeHarness();
  IPlatform& p = harness->Platform();
  NoEvents none;
  int error = -1;
  auto socket = p.Network().CreateSocket(&none, &error);
  ASSERT_TRUE(socket);
  std::unique_ptr<IDialogWindow> dialog = p.CreateDialogWindow(&none);
  std::uint64_t dialogEnded = 0;
  Once closer(p, 700, [&] {
    dialogEnded = harness->Now();
    dialog->EndDialog(kIdOk);
  });
  int code = 0;
  Once opener(p, 20, [&] { code = dialog->DoModal(IDD_CONTRACT_CONTROLS, 0); });
  const std::uint64_t start = harness->Now();
  EXPECT_EQ(socket->ConnectBlocking("127.0.0.1", harness->SilentPort(), 300), kWsaETimedOut);
  const std::uint64_t returned = harness->Now();
  EXPECT_EQ(code, kIdOk);
  EXPECT_GT(dialogEnded, start);
  EXPECT_GE(returned, dialogEnded);  // not at its bound of 300 ms
}

}  // namespace
}  // namespace fon::contract
