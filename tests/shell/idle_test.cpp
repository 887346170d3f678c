// The idle timer in virtual time: the switch to the idle profile, the away
// state, the restore, and locking the workstation.
#include <gtest/gtest.h>

#include "calls/popup.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class IdleTest : public ShellTest, public ::testing::WithParamInterface<std::size_t> {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ServeCti();
    ServeRelay();
    for (auto [name, value] : {std::pair{"Idle Timer Checkbox", 1}, {"Idle Timer", 1}})
      sim.registry.SetDword(kMainKey, name, value);
    sim.registry.SetString(kMainKey, "Idle Timer Profile", "Away");
    relayAnswers = {{"GETDEVICES", "+OK|0"},
                    {"GETPROFILELIST", "+OK|1|Home|3|Away"},
                    {"FORCEPROFILE", "+OK"},
                    {"GETACTIVEFORCEDPROFILE", "+OK"},
                    {"CLEARFORCEDPROFILE", "+OK"}};
  }
  const CIdleTimer& Idle() const { return frame->Idle(); }
  void StillFor(int seconds) {
    ASSERT_TRUE(sim.loop.RunUntilFor([&] { return Idle().Seconds() >= seconds; }, 1000u * (seconds + 2)));
  }
};

struct ReturnCase {
  const char* forcedBefore;  // the server's answer just before the switch
  int key;                   // pressed and released; 0: the mouse moves
  std::string restore;
};
const ReturnCase kReturnCases[] = {{"+OK", 0, "CLEARFORCEDPROFILE|42"},
                                   {"+OK|1", 0x41, "FORCEPROFILE|42|1"},
                                   {"+OK", 1 /* left button */, "CLEARFORCEDPROFILE|42"}};
using ReturnTest = IdleTest;

TEST_P(ReturnTest, SwitchOnTheSixtiethStillTickRestoreOnActivity) {
  const ReturnCase& c = kReturnCases[GetParam()];
  relayAnswers["GETACTIVEFORCEDPROFILE"] = c.forcedBefore;
  StartRecording();
  const long long cur = sim.shell.cursorQueries, keys = sim.shell.keyQueries, ticks = 59 - Idle().Seconds();
  StillFor(59);  // per tick one cursor and 256 key queries (no allocation: bench_profiles)
  EXPECT_EQ(std::pair(sim.shell.cursorQueries - cur, sim.shell.keyQueries - keys),
            std::pair(ticks, ticks * 256));
  EXPECT_EQ(RelayRequests().size(), 3u);  // those of the connect
  std::vector<std::uint64_t> accepted;
  sim.network.Listen(kServer, kRelayPort).onAccept = [&](auto) { accepted.push_back(sim.loop.NowMs()); };
  StillFor(60);
  sim.loop.RunFor(1);
  ASSERT_EQ(accepted.size(), 2u);
  EXPECT_EQ(accepted[1] - accepted[0], 101u);  // the pause between the two
  EXPECT_EQ(RelayRequests()[3] + RelayRequests()[4],
            std::string("GETACTIVEFORCEDPROFILE|42\0FORCEPROFILE|42|3", 44));
  EXPECT_TRUE(Idle().IsAway() && Logged("Idle Timer active\n"));
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_AWAY);
  // A notice that came meanwhile, staying a day, goes five seconds after.
  frame->CMainFrame::ShowInfoPopup(2, "meanwhile", 1);
  sim.loop.RunFor(5000);
  const CPopup* sticky = frame->PopupStack().PopupInSlot(frame->PopupStack().StickyPopup());
  ASSERT_TRUE(sticky);
  if (c.key)
    sim.shell.keysPressed.insert(c.key);
  else
    sim.shell.cursor.x += 3;
  sim.loop.RunFor(1000);
  EXPECT_EQ(RelayRequests().size(), 6u);
  EXPECT_EQ(RelayRequests().back(), c.restore + '\0');
  EXPECT_TRUE(!Idle().IsAway() && sim.shell.VisibleTrayIcon() == IDI_TRAY_ONLINE && Idle().Seconds() == 0);
  EXPECT_LE(sticky->m_nStayLeft, 5000);
}

INSTANTIATE_TEST_SUITE_P(Activity, ReturnTest, ::testing::Range<std::size_t>(0, std::size(kReturnCases)));

struct SwitchCase {
  const char* profile;  // "Idle Timer Profile"
  const char* answer;   // to FORCEPROFILE; "" none, nullptr: the relay is down
  std::string sent;     // the switch request, "" none
  bool away;
  const char* logged;
};
const SwitchCase kSwitchCases[] = {
    {"Away", "+OK|x", "FORCEPROFILE|42|3", true, "Idle Timer active\n"},
    {"Gone", "+OK", "FORCEPROFILE|42|0", true, "Idle Timer active\n"},
    {"Away", "-ERR|busy", "FORCEPROFILE|42|3", false, "Error at FORCEPROFILE: busy\n"},
    {"Away", "", "FORCEPROFILE|42|3", false, "Timeout - Relay Socket does not answer to FORCEPROFILE \n"},
    {"Away", nullptr, "", false, "Could not activate Idle Timer\n"},
    {"", "+OK", "", false, "Could not activate Idle Timer"}};
using SwitchTest = IdleTest;

TEST_P(SwitchTest, TheSwitchCountsAsDoneOnlyOnOk) {
  const SwitchCase& c = kSwitchCases[GetParam()];
  sim.registry.SetString(kMainKey, "Idle Timer Profile", c.profile);
  relayAnswers.erase("FORCEPROFILE");
  if (c.answer && *c.answer) relayAnswers["FORCEPROFILE"] = c.answer;
  StartRecording();
  if (!c.answer) sim.network.StopListening(kServer, kRelayPort);
  StillFor(59);
  sim.loop.RunFor(1000 + 5500);  // the 60th tick, then the answer or the timeout
  EXPECT_EQ(LoggedCount(c.logged), 1);
  EXPECT_EQ(Idle().IsAway() || Idle().IsSwitching(), c.away);
  EXPECT_EQ(CountRequests(c.sent.empty() ? "FORCEPROFILE|42|3" : c.sent), c.sent.empty() ? 0 : 1);  // once
  EXPECT_EQ(Shown(), (c.away ? Popups() : Popups{{2, kText216, 1}}));
  EXPECT_EQ(Idle().Seconds() >= 60, c.away);  // failed: counting starts again from nothing
}

INSTANTIATE_TEST_SUITE_P(Answers, SwitchTest, ::testing::Range<std::size_t>(0, std::size(kSwitchCases)));

// Lock and unlock; a restore that cannot be sent, or is never answered,
// goes out again after the next connect.
struct LockCase {
  int awayOnLock;  // -1: not set
  int checkbox;
  const char* profile;
  bool switches;
  int failure;  // the restore: 0 answered, 1 relay down, 2 never answered, 3 answered late, 4 refused
  Popups shown;
};
const LockCase kLockCases[] = {{-1, 1, "Away", true, 0, {}},
                               {1, 1, "Away", true, 0, {}},
                               {0, 1, "Away", false, 0, {}},
                               {1, 0, "Away", false, 0, {}},
                               {1, 1, "", false, 0, {}},
                               {1, 1, "Away", true, 1, {{2, kText232, 0}}},
                               {1, 1, "Away", true, 2, {{2, kText217, 0}}},
                               {1, 1, "Away", true, 3, {}},
                               {1, 1, "Away", true, 4, {{2, kText212, 0}}}};
using LockTest = IdleTest;

TEST_P(LockTest, LockIsLeavingUnlockIsComingBack) {
  const LockCase& c = kLockCases[GetParam()];
  if (c.awayOnLock >= 0) sim.registry.SetDword(kMainKey, "Away On Lock", c.awayOnLock);
  sim.registry.SetDword(kMainKey, "Idle Timer Checkbox", c.checkbox);
  sim.registry.SetString(kMainKey, "Idle Timer Profile", c.profile);
  std::shared_ptr<sim::SimConnection> held;
  if (c.failure == 3) ServeRelay().onAccept = [&](auto conn) { held = conn; };
  StartRecording();
  if (c.failure == 3) relayAnswers.erase("FORCEPROFILE");
  sim.frame->PostSessionChange(true);
  sim.loop.RunFor(200);
  EXPECT_EQ(Idle().IsAway(), c.switches && c.failure != 3);
  EXPECT_EQ(CountRequests("FORCEPROFILE|42|3"), c.switches ? 1 : 0);
  if (c.failure == 1) sim.network.StopListening(kServer, kRelayPort);
  if (c.failure == 2) relayAnswers.erase("CLEARFORCEDPROFILE");
  if (c.failure == 4) relayAnswers["CLEARFORCEDPROFILE"] = "-ERR|busy";
  sim.frame->PostSessionChange(false);
  sim.loop.RunFor(200);
  if (c.failure == 3) held->Send("+OK");  // the switch is done once the user is back
  sim.loop.RunFor(5000);
  EXPECT_FALSE(Idle().IsAway());
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_ONLINE);
  const int restores = c.switches && c.failure != 1 ? 1 : 0;
  EXPECT_EQ(CountRequests("CLEARFORCEDPROFILE|42"), restores);
  EXPECT_EQ(Shown(), c.shown);
  EXPECT_EQ(frame->Profiles().HasPending(), c.failure == 1 || c.failure == 2);
  // The next connect sends it; once sent, it is done.
  relayAnswers["CLEARFORCEDPROFILE"] = "+OK";
  ServeRelay();
  CtiConnection()->Close();
  sim.loop.RunFor(31000);
  EXPECT_EQ(CountRequests("CLEARFORCEDPROFILE|42"), restores + (c.failure == 1 || c.failure == 2));
  EXPECT_FALSE(frame->Profiles().HasPending());
}

INSTANTIATE_TEST_SUITE_P(Settings, LockTest, ::testing::Range<std::size_t>(0, std::size(kLockCases)));

}  // namespace
}  // namespace fon::test
