// The idle timer in virtual time: the switch to the idle profile, the away
// state, the restore, and locking the workstation.
#include <gtest/gtest.h>

#include "calls/popup.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

constexpr int kKeyA = 0x41;
constexpr int kLeftButton = 1;

class IdleTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ServeCti();
    ServeRelay();
    sim.registry.SetDword(kMainKey, "Idle Timer Checkbox", 1);
    sim.registry.SetDword(kMainKey, "Idle Timer", 1);
    sim.registry.SetString(kMainKey, "Idle Timer Profile", "Away");
    relayAnswers = {{"GETDEVICES", "+OK|0"},
                    {"GETPROFILELIST", "+OK|1|Home|3|Away"},
                    {"GETACTIVEFORCEDPROFILE", "+OK"},
                    {"FORCEPROFILE", "+OK"},
                    {"CLEARFORCEDPROFILE", "+OK"}};
  }
  const CIdleTimer& Idle() const { return frame->Idle(); }
  // Runs the ticks until the idle count reaches `seconds`.
  void StillFor(int seconds) {
    ASSERT_TRUE(sim.loop.RunUntilFor([&] { return Idle().Seconds() >= seconds; }, 1000u * (seconds + 2)));
  }
  void GoAway() {
    StillFor(60);
    sim.loop.RunFor(1);
    ASSERT_TRUE(Idle().IsAway());
  }
  void Move() {
    sim.shell.cursor.x += 3;
    sim.loop.RunFor(1000);
  }
  int Icon() const { return sim.shell.VisibleTrayIcon(); }
};

TEST_F(IdleTest, SwitchesOnTheSixtiethStillTickAndRestoresOnActivity) {
  struct Case {
    const char* forcedBefore;  // the server's answer just before the switch
    int key;                   // 0: the mouse moves
    std::string restore;
  } cases[] = {
      {"+OK", 0, "CLEARFORCEDPROFILE|42"},
      {"+OK|1", kKeyA, "FORCEPROFILE|42|1"},
      {"+OK", kLeftButton, "CLEARFORCEDPROFILE|42"},
  };
  StartRecording();
  for (const Case& c : cases) {
    relayAnswers["GETACTIVEFORCEDPROFILE"] = c.forcedBefore;
    const int asked = CountRequests("GETACTIVEFORCEDPROFILE|42");
    const int switched = CountRequests("FORCEPROFILE|42|3");
    const int restored = CountRequests(c.restore);
    const int ticks = 59 - Idle().Seconds();
    const long long cursorQueries = sim.shell.cursorQueries, keyQueries = sim.shell.keyQueries;
    StillFor(59);
    EXPECT_EQ(sim.shell.cursorQueries - cursorQueries, ticks);
    EXPECT_EQ(sim.shell.keyQueries - keyQueries, ticks * 256);
    EXPECT_EQ(CountRequests("GETACTIVEFORCEDPROFILE|42"), asked);
    EXPECT_EQ(CountRequests("FORCEPROFILE|42|3"), switched);
    std::vector<std::uint64_t> accepted;
    sim.network.Listen(kServer, kRelayPort).onAccept = [&](auto) { accepted.push_back(sim.loop.NowMs()); };
    StillFor(60);
    sim.loop.RunFor(1);
    ASSERT_EQ(accepted.size(), 2u);
    EXPECT_EQ(accepted[1] - accepted[0], 101u);  // the pause between the two
    EXPECT_EQ(RelayRequests().back(), std::string("FORCEPROFILE|42|3", 18));
    EXPECT_TRUE(Idle().IsAway());
    EXPECT_EQ(Icon(), IDI_TRAY_AWAY);
    EXPECT_TRUE(Logged("Idle Timer active\n"));

    // A notice that came meanwhile, staying a day, goes five seconds after.
    frame->CMainFrame::ShowInfoPopup(2, "meanwhile", 1);
    sim.loop.RunFor(5000);
    const CPopup* sticky = frame->PopupStack().PopupInSlot(frame->PopupStack().StickyPopup());
    ASSERT_TRUE(sticky);
    sim.network.Listen(kServer, kRelayPort).onAccept = nullptr;
    if (c.key)
      sim.shell.keysPressed.insert(c.key);
    else
      sim.shell.cursor.x += 3;
    sim.loop.RunFor(1000);
    EXPECT_EQ(RelayRequests().back(), c.restore + '\0');
    EXPECT_EQ(CountRequests(c.restore), restored + 1) << c.restore;
    EXPECT_FALSE(Idle().IsAway());
    EXPECT_EQ(Icon(), IDI_TRAY_ONLINE);
    EXPECT_LE(sticky->m_nStayLeft, 5000);
    EXPECT_EQ(Idle().Seconds(), 0);
    sim.loop.RunFor(6000);
    EXPECT_FALSE(sticky->IsAlive());
  }
  EXPECT_TRUE(Shown().empty());
}

// Each case on a client of its own (one client per session).
template <class Case>
class IdleCaseTest : public IdleTest, public ::testing::WithParamInterface<Case> {};

struct SwitchCase {
  const char* profile;  // "Idle Timer Profile"
  const char* answer;   // to FORCEPROFILE; "" none, nullptr: the relay is down
  std::string sent;     // the switch request, "" none
  bool away;
  const char* logged;
};
using SwitchTest = IdleCaseTest<SwitchCase>;

TEST_P(SwitchTest, TheSwitchCountsAsDoneOnlyOnOk) {
  const SwitchCase& c = GetParam();
  sim.registry.SetString(kMainKey, "Idle Timer Profile", c.profile);
  relayAnswers.erase("FORCEPROFILE");
  if (c.answer && *c.answer) relayAnswers["FORCEPROFILE"] = c.answer;
  StartRecording();
  if (!c.answer) sim.network.StopListening(kServer, kRelayPort);
  StillFor(59);
  sim.loop.RunFor(1000 + 5500);  // the 60th tick, then the answer or the timeout
  EXPECT_EQ(LoggedCount(c.logged), 1);
  EXPECT_EQ(Idle().IsAway(), c.away);
  EXPECT_FALSE(Idle().IsSwitching());
  EXPECT_EQ(CountRequests(c.sent), c.sent.empty() ? 0 : 1);  // not once a tick while out
  if (!c.away) {
    EXPECT_EQ(Shown(), (Popups{{2, kText216, 1}}));
    EXPECT_LE(Idle().Seconds(), 7);  // counting starts again from nothing
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SwitchTest,
    ::testing::Values(SwitchCase{"Away", "+OK|x", "FORCEPROFILE|42|3", true, "Idle Timer active\n"},
                      SwitchCase{"Gone", "+OK", "FORCEPROFILE|42|0", true, "Idle Timer active\n"},
                      SwitchCase{"Away", "-ERR|busy", "FORCEPROFILE|42|3", false, "Error at FORCEPROFILE: busy\n"},
                      SwitchCase{"Away", "", "FORCEPROFILE|42|3", false,
                                 "Timeout - Relay Socket does not answer to FORCEPROFILE \n"},
                      SwitchCase{"Away", nullptr, "", false, "Could not activate Idle Timer\n"},
                      SwitchCase{"", "+OK", "", false, "Could not activate Idle Timer"}));

struct RestoreCase {
  bool relayDown;  // else the relay never answers the restore
  Popups shown;
  int icon;
};
using RestoreTest = IdleCaseTest<RestoreCase>;

TEST_P(RestoreTest, ARestoreThatFailsGoesOutAfterTheNextConnect) {
  const RestoreCase& c = GetParam();
  StartRecording();
  GoAway();
  relayAnswers.erase("CLEARFORCEDPROFILE");
  if (c.relayDown) {
    sim.network.StopListening(kServer, kRelayPort);
    StopCti();
    CtiConnection()->Close();
    sim.loop.RunFor(1);
  }
  Move();
  sim.loop.RunFor(5000);
  EXPECT_EQ(Shown(), c.shown);
  EXPECT_EQ(Icon(), c.icon);
  EXPECT_EQ(frame->Profiles().PendingRequest(), "CLEARFORCEDPROFILE|42");
  EXPECT_TRUE(frame->Profiles().HasPending());
  // The next connect sends it; answered, it is done.
  relayAnswers["CLEARFORCEDPROFILE"] = "+OK";
  ServeRelay();
  ServeCti();
  const int sent = CountRequests("CLEARFORCEDPROFILE|42");
  sim.loop.RunUntilFor([&] { return CountRequests("CLEARFORCEDPROFILE|42") > sent; }, 130000);
  sim.loop.RunFor(1);
  EXPECT_EQ(CountRequests("CLEARFORCEDPROFILE|42"), sent + 1);
  EXPECT_FALSE(frame->Profiles().HasPending());
  EXPECT_EQ(Shown(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Failures, RestoreTest,
                         ::testing::Values(RestoreCase{true, {{2, kText232, 0}}, IDI_TRAY_OFFLINE},
                                           RestoreCase{false, {{2, kText217, 0}}, IDI_TRAY_ONLINE}));

struct LockCase {
  int awayOnLock;  // -1: not set
  int checkbox;
  const char* profile;
  bool switches;
};
using LockTest = IdleCaseTest<LockCase>;

TEST_P(LockTest, LockingIsLeavingAndUnlockingComingBack) {
  const LockCase& c = GetParam();
  if (c.awayOnLock >= 0) sim.registry.SetDword(kMainKey, "Away On Lock", c.awayOnLock);
  sim.registry.SetDword(kMainKey, "Idle Timer Checkbox", c.checkbox);
  sim.registry.SetString(kMainKey, "Idle Timer Profile", c.profile);
  StartRecording();
  sim.frame->PostSessionChange(true);
  sim.loop.RunFor(200);
  EXPECT_EQ(Idle().IsAway(), c.switches);
  EXPECT_EQ(CountRequests("FORCEPROFILE|42|3"), c.switches ? 1 : 0);
  sim.frame->PostSessionChange(false);
  sim.loop.RunFor(200);
  EXPECT_FALSE(Idle().IsAway());
  EXPECT_EQ(CountRequests("CLEARFORCEDPROFILE|42"), c.switches ? 1 : 0);
  EXPECT_TRUE(Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Settings, LockTest,
                         ::testing::Values(LockCase{-1, 1, "Away", true}, LockCase{1, 1, "Away", true},
                                           LockCase{0, 1, "Away", false}, LockCase{1, 0, "Away", false},
                                           LockCase{1, 1, "", false}));

TEST_F(IdleTest, ComingBackWhileTheSwitchIsOutRestoresOnceItIsDone) {
  std::shared_ptr<sim::SimConnection> held;
  StartRecording();
  sim.network.Listen(kServer, kRelayPort).onData = [&](std::shared_ptr<sim::SimConnection> conn,
                                                       const std::string& bytes) {
    if (bytes.rfind("FORCEPROFILE", 0) == 0) held = conn;
  };
  StillFor(60);
  sim.loop.RunFor(1);
  ASSERT_TRUE(held && Idle().IsSwitching());
  Move();
  held->Send("+OK");
  sim.loop.RunFor(1);
  EXPECT_FALSE(Idle().IsAway());
  EXPECT_EQ(CountRequests("CLEARFORCEDPROFILE|42"), 1);
  EXPECT_EQ(Icon(), IDI_TRAY_ONLINE);
}

}  // namespace
}  // namespace fon::test
