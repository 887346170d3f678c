// The Exit command: the end profile, and when the process ends.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class ExitTest : public ShellTest {};

TEST_F(ExitTest, EndProfileDecidesWhatIsSentAndWhenTheClientEnds) {
  enum Relay { kAnswers, kSilent, kDown };
  struct Case {
    const char* name;
    int checkbox;
    const char* endProfile;
    Relay relay;
    const char* answer;
    std::string request;        // empty: no relay traffic
    std::uint64_t endsAfterMs;  // the relay connects in 1 ms
    bool warned;
    bool sessionEnd = false;  // Windows ends the session instead: at most 2 s
  } cases[] = {
      {"not wanted", 0, "Away", kAnswers, "+OK", "", 500, false},
      {"no name", 1, "", kAnswers, "+OK", "", 500, false},
      {"known name, last one counts", 1, "Away", kAnswers, "+OK", "FORCEPROFILE|42|7", 501, false},
      {"unknown name", 1, "Gone", kAnswers, "+OK|x", "CLEARFORCEDPROFILE|42|", 501, false},
      {"error answer", 1, "Away", kAnswers, "+ERR|no", "FORCEPROFILE|42|7", 1, true},
      {"no answer", 1, "Away", kSilent, "", "FORCEPROFILE|42|7", 5501, true},
      {"relay down", 1, "Away", kDown, "", "", 501, true},
      {"session end, not wanted", 0, "Away", kAnswers, "+OK", "", 0, false, true},
      {"session end, answered", 1, "Away", kAnswers, "+ERR|no", "FORCEPROFILE|42|7", 1, false, true},
      {"session end, no answer", 1, "Away", kSilent, "", "FORCEPROFILE|42|7", 2000, false, true},
      {"session end, relay down", 1, "Away", kDown, "", "", 1, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimPlatform fresh;
    fresh.registry = sim.registry;
    fresh.registry.SetDword(kMainKey, "End Profile Checkbox", c.checkbox);
    fresh.registry.SetString(kMainKey, "End Profile", c.endProfile);
    std::string answer = c.answer;
    if (c.relay != kDown) {
      fresh.network.Listen(kServer, kRelayPort).onData = [answer](std::shared_ptr<sim::SimConnection> conn,
                                                                  const std::string&) {
        if (!answer.empty()) conn->Send(answer);
      };
    }
    RecordingFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    fresh.loop.RunFor(10);
    f.OnProfileListAnswer("+OK|3|Away|1|Home|7|Away|8|away");
    std::uint64_t start = fresh.loop.NowMs();
    c.sessionEnd ? fresh.frame->PostEndSession() : f.OnCommand(ID_MENU_EXIT);
    fresh.loop.RunUntilFor([&] { return fresh.frame->destroyed; }, 10000);
    EXPECT_EQ(fresh.loop.NowMs() - start, c.endsAfterMs);
    auto relay = fresh.network.ConnectionsOnPort(kRelayPort);
    EXPECT_EQ(relay.size(), c.request.empty() ? 0u : 1u);
    if (!relay.empty()) {
      EXPECT_EQ(relay[0]->received, c.request + '\0');
    }
    EXPECT_EQ(f.dialogs, c.warned ? std::vector<std::string>{"exit warning"} : std::vector<std::string>{});
    EXPECT_TRUE(fresh.shell.trayIcons.empty());
    EXPECT_TRUE(f.popups.empty());
  }
}

TEST_F(ExitTest, AForceAnswerNobodyWaitsForIsOnlyLogged) {
  relayAnswers["FORCEPROFILE"] = "-ERR|busy";
  ServeRelay();
  StartRecording();
  ASSERT_EQ(frame->SendRelayRequest({"FORCEPROFILE", "|3"}, 15), 1);
  sim.loop.RunFor(6000);
  EXPECT_TRUE(Logged("Error at FORCEPROFILE: busy\n"));
  EXPECT_TRUE(Shown().empty());
  EXPECT_FALSE(sim.frame->destroyed);
}

TEST_F(ExitTest, WarningCancelKeepsTheClientAndExitCancelsTheConfiguration) {
  sim.registry.SetDword(kMainKey, "End Profile Checkbox", 1);
  sim.registry.SetString(kMainKey, "End Profile", "Away");
  ServeCti();
  Start();
  std::string warning;
  sim.modalScripts[IDD_EXIT_WARNING] = [&](sim::SimDialogRecord& d) {
    warning += d.items[IDC_EXIT_TITLE] + "|" + d.items[IDC_EXIT_TEXT].substr(0, 8);
    d.Press(kIdCancel);
  };
  const std::uint64_t start = sim.loop.NowMs();
  frame->OnCommand(ID_MENU_EXIT);  // the relay is down: the warning at once
  EXPECT_EQ(sim.loop.NowMs() - start, 1u);
  EXPECT_EQ(warning, "Information|Warning!");
  sim.network.Listen(kServer, kRelayPort).onData = [](auto conn, const std::string&) { conn->Send("+OK"); };
  ASSERT_EQ(frame->SendRelayRequest({"FORCEPROFILE", "|3"}, ID_TIMER_RELAY_FORCE), 1);
  sim.loop.RunFor(10000);  // a profile forced later is only that
  EXPECT_TRUE(!sim.frame->destroyed && Linked() && !sim.shell.trayIcons.empty());

  sim.registry.SetDword(kMainKey, "End Profile Checkbox", 0);
  sim.modalScripts[IDD_CONFIG] = [this](sim::SimDialogRecord& d) {
    d.Type(IDC_CONFIG_CTI_PORT, "999");
    frame->OnCommand(ID_MENU_EXIT);
  };
  frame->OnCommand(ID_MENU_CONFIG);
  EXPECT_EQ(sim.registry.GetDword(kMainKey, "Server Port"), kCtiPort);
  EXPECT_TRUE(sim.loop.RunUntilFor([&] { return sim.frame->destroyed; }, 501) && sim.shell.trayIcons.empty());
  frame.reset();
  EXPECT_TRUE(sim.shell.hotkeys.empty());
}

}  // namespace
}  // namespace fon::test
