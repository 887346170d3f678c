// Supervision: what a connect asks the relay, the periodic restart, and
// applying new settings.
#include <gtest/gtest.h>

#include "net/cti_port_socket.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class SupervisionTest : public ShellTest {};

TEST_F(SupervisionTest, ListsAreAskedOnceAndAgainOnEveryPeriodicRestartOnly) {
  ServeCti();
  std::vector<std::uint64_t> accepted;
  ServeRelay().onAccept = [&](std::shared_ptr<sim::SimConnection>) { accepted.push_back(sim.loop.NowMs()); };
  relayAnswers = {{"GETDEVICES", "+OK|0"}, {"GETPROFILELIST", "+OK"}, {"GETACTIVEFORCEDPROFILE", "+OK"}};
  StartRecording();
  EXPECT_EQ(RelayRequests(),
            (std::vector<std::string>{std::string("GETDEVICES|42", 14), std::string("GETPROFILELIST|42", 18),
                                      std::string("GETACTIVEFORCEDPROFILE|42", 26)}));
  ASSERT_EQ(accepted.size(), 3u);
  EXPECT_EQ(accepted[2] - accepted[1], 101u);  // the pause before the forced profile
  const CProfileState& lists = frame->Profiles();
  EXPECT_TRUE(lists.DevicesLoaded() && lists.ProfilesLoaded() && lists.ForcedChecked());

  CtiConnection()->Close();  // supervision reconnects in mode 1: nothing asked
  sim.loop.RunFor(30000);
  ASSERT_TRUE(Linked());
  EXPECT_EQ(RelayRequests().size(), 3u);

  for (int restart = 1; restart <= 2; ++restart) {
    sim.loop.RunFor(120000 * restart + 500 - sim.loop.NowMs());
    EXPECT_EQ(LoggedCount("Trying to restart the connection\n"), restart);
    EXPECT_EQ(CountRequests("GETDEVICES|42"), 1 + restart);
    EXPECT_EQ(CountRequests("GETPROFILELIST|42"), 1 + restart);
    EXPECT_EQ(CountRequests("GETACTIVEFORCEDPROFILE|42"), 1);
  }
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_ONLINE);
}

TEST_F(SupervisionTest, FailedListsAreSentOnTheNextConnect) {
  ServeCti();
  StartRecording();  // no relay port yet
  EXPECT_EQ(Shown(), (Popups{{2, kText239, 0}, {2, kText233, 0}}));
  ServeRelay();
  relayAnswers = {{"GETDEVICES", "+OK|0"}, {"GETPROFILELIST", "+OK"}};
  CtiConnection()->Close();
  sim.loop.RunFor(30000);
  ASSERT_TRUE(Linked());
  EXPECT_EQ(CountRequests("GETDEVICES|42") + CountRequests("GETPROFILELIST|42"), 2);
  EXPECT_EQ(CountRequests("GETACTIVEFORCEDPROFILE|42"), 1);
  EXPECT_TRUE(frame->Profiles().DevicesLoaded());
}

TEST_F(SupervisionTest, ApplySettingsReconnectsAndTakesTheNewSettings) {
  ServeCti();
  StartRecording();
  auto first = CtiConnection();
  frame->m_bConfigAfterProfiles = 1;
  sim.network.Listen(kServer, 23000);
  sim.registry.SetDword(kMainKey, "Server Port", 23000);
  sim.registry.SetDword(kMainKey, "Hotkey - Modifier", 3);
  sim.registry.SetDword(kMainKey, "Hotkey - Virtual Key", 20001);  // taken as it is here
  sim.registry.SetDword(kMainKey, "Idle Timer Checkbox", 1);
  sim.registry.SetDword(kMainKey, "Idle Timer", 5000);
  sim.registry.SetDword(kMainKey, "Language Index", 16);
  frame->ApplySettings();
  EXPECT_EQ(frame->m_bConfigAfterProfiles, 0);
  EXPECT_EQ(frame->Idle().Minutes(), 5000);
  EXPECT_TRUE(Running(ID_TIMER_IDLE));
  EXPECT_TRUE(first->closedByClient());
  EXPECT_TRUE(sim.dialogs.back()->visible);  // mode 0: the wait notice
  EXPECT_EQ(sim.shell.hotkeys[ID_HOTKEY_DIALOUT], std::make_pair(3u, 20001u));
  EXPECT_TRUE(Logged("Hotkey registration successfull\n"));
  EXPECT_EQ(frame->m_nLanguageIndex, 1);
  sim.loop.RunFor(1);
  EXPECT_TRUE(Linked());
  EXPECT_FALSE(sim.network.LastConnectionOnPort(23000)->closedByClient());

  // During a connect only the frame's own settings change; a socket that
  // cannot be made ends the reconnect and leaves the language as it was.
  sim.registry.SetDword(kMainKey, "Idle Timer Checkbox", 0);
  sim.registry.SetDword(kMainKey, "Language Index", 2);
  sim.network.Listen(kServer, 23000).connectDelayMs = 1000;
  frame->ReconnectCtiPort();
  ASSERT_TRUE(frame->Link().IsConnecting());
  const CCtiPortSocket* connecting = frame->CtiSocket();
  frame->ApplySettings();
  EXPECT_FALSE(Running(ID_TIMER_IDLE));
  EXPECT_EQ(frame->m_nLanguageIndex, 2);
  EXPECT_EQ(frame->CtiSocket(), connecting);
  sim.loop.RunFor(1000);
  EXPECT_TRUE(Linked());
  sim.network.Listen(kServer, 23000).connectDelayMs = 1;
  sim.registry.SetDword(kMainKey, "Language Index", 1);
  sim.network.failNextCreate = 10055;
  frame->ApplySettings();
  EXPECT_TRUE(Logged("Failed to create client socket: 10055! Close and restart app."));
  EXPECT_FALSE(Linked());
  EXPECT_EQ(frame->m_nLanguageIndex, 2);
  sim.loop.RunFor(30000);
  ASSERT_TRUE(Linked());

  // ReconnectCtiPort: a new connect in the current mode, supervision
  // counting from it; nothing while a connect is under way.
  ASSERT_EQ(frame->Link().ReconnectMode(), kReconnectByTimer);
  std::size_t notices = sim.dialogs.size(), connects = sim.network.connections.size();
  frame->ReconnectCtiPort();
  frame->ReconnectCtiPort();
  EXPECT_FALSE(Linked());
  EXPECT_EQ(sim.timers.Interval(frame.get(), ID_TIMER_RECONNECT), 30000u);
  sim.loop.RunFor(1);
  EXPECT_TRUE(Linked());
  EXPECT_EQ(sim.network.connections.size(), connects + 1);
  EXPECT_EQ(sim.dialogs.size(), notices);
}

TEST_F(SupervisionTest, ReconnectKeepsTheLiveLinkWhenNoNewSocketCanBeMade) {
  ServeCti();
  StartRecording();
  auto live = CtiConnection();
  sim.network.failNextCreate = 10055;
  frame->ReconnectCtiPort();
  EXPECT_TRUE(Logged("Failed to create client socket: 10055!"));
  EXPECT_TRUE(Linked());
  EXPECT_FALSE(live->closedByClient());
  live->Send("X|17|Anna|0301234|0302222|99|\n");
  sim.loop.RunFor(1);
  EXPECT_TRUE(Logged("Message from CTI-Port: X|17|Anna|0301234|0302222|99|\n at " + sim.loop.CtimeNow()));
}

}  // namespace
}  // namespace fon::test
