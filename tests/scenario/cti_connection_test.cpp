// The CTI-port connection: connect, failures, supervision, reads.
#include <gtest/gtest.h>

#include "app/frame_ids.h"
#include "frame_fixture.h"
#include "net/cti_port_socket.h"

namespace fon::test {
namespace {

class CtiConnectionTest : public FrameTest {
 protected:
  void SetUp() override { SeedRegisteredUser(); }
  int TrayCallsSince(std::size_t mark) const { return static_cast<int>(sim.shell.trayCalls.size() - mark); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& line : sim.debug.lines)
      if (line.rfind("Message from CTI-Port: ", 0) == 0) out.push_back(line);
    return out;
  }
  // A client of its own on the fixture's settings, connected to the CTI
  // port: each table row starts from a fresh link.
  struct FreshClient {
    sim::SimPlatform platform;
    std::unique_ptr<CMainFrame> frame;
    std::shared_ptr<sim::SimConnection> conn;
  };
  std::unique_ptr<FreshClient> ConnectFreshClient() {
    auto client = std::make_unique<FreshClient>();
    client->platform.registry = sim.registry;
    client->platform.network.Listen(kServer, kCtiPort);
    client->frame = std::make_unique<CMainFrame>(client->platform);
    EXPECT_EQ(client->frame->Create(), 0);
    client->platform.loop.RunFor(1);
    client->conn = client->platform.network.LastConnectionOnPort(kCtiPort);
    return client;
  }
};

TEST_F(CtiConnectionTest, ServerDownAtStartRetriesEveryThirtySecondsWithoutNotice) {
  sim.registry.SetDword(kMainKey, "Idle Timer Checkbox", 1);
  sim.registry.SetDword(kMainKey, "Idle Timer", 5);
  Start();
  EXPECT_TRUE(Logged("OnConnect error: 10061"));
  EXPECT_TRUE(Logged("Failed to connect to TSG (CTI-Port): 10061.\n"));
  EXPECT_TRUE(Logged("Kill the Idle-Timer\n"));
  EXPECT_FALSE(sim.timers.IsTimerRunning(frame.get(), ID_TIMER_IDLE));
  EXPECT_EQ(frame->Link().IsConnecting(), false);
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_OFFLINE);
  // Already offline: no delete-and-add of the same icon.
  EXPECT_EQ(sim.shell.trayCalls.size(), 1u);
  ASSERT_EQ(sim.dialogs.size(), 1u);
  EXPECT_FALSE(sim.dialogs[0]->visible);

  // Two more failed attempts, 30 s apart, without a notice.
  sim.loop.RunFor(60000);
  EXPECT_EQ(LoggedCount("Failed to connect to TSG (CTI-Port): 10061.\n"), 3);
  EXPECT_EQ(frame->Link().ReconnectMode(), 1);
  // Automatic attempts make no notice window at all.
  EXPECT_EQ(sim.dialogs.size(), 1u);

  // The server comes up: the next attempt connects, the idle timer resumes.
  ServeCti();
  sim.loop.RunFor(30000);
  EXPECT_TRUE(Linked());
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_ONLINE);
  EXPECT_TRUE(Logged("start the Idle-Timer\n"));
  EXPECT_TRUE(sim.timers.IsTimerRunning(frame.get(), ID_TIMER_IDLE));
}

TEST_F(CtiConnectionTest, ServerDropAndReturn) {
  ServeCti();
  Start();
  ASSERT_TRUE(Linked());
  std::size_t mark = sim.shell.trayCalls.size();
  CtiConnection()->Close();
  sim.loop.RunFor(1);
  EXPECT_TRUE(Logged("Connection to TSG lost\n"));
  EXPECT_FALSE(Linked());
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_OFFLINE);
  EXPECT_EQ(sim.shell.VisibleTrayTip(), "CTI - offline");
  EXPECT_EQ(TrayCallsSince(mark), 3);  // delete 2, delete 1, add 1

  // Supervision connects again within 30 s; the old socket is gone.
  sim.loop.RunFor(30000);
  EXPECT_TRUE(Linked());
  EXPECT_EQ(sim.network.ConnectionsOnPort(kCtiPort).size(), 2u);
  EXPECT_EQ(sim.network.socketsAlive, 1);
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_ONLINE);
}

TEST_F(CtiConnectionTest, PeriodicRestartReplacesAHealthyLinkQuietly) {
  ServeCti();
  Start();
  std::size_t mark = sim.shell.trayCalls.size();
  auto first = CtiConnection();
  sim.loop.RunFor(120000);
  EXPECT_TRUE(Logged("Trying to restart the connection\n"));
  EXPECT_EQ(frame->Link().ReconnectMode(), 2);
  EXPECT_TRUE(first->closedByClient());
  EXPECT_NE(CtiConnection(), first);
  EXPECT_TRUE(Linked());
  // The icon was online all along: no tray traffic.
  EXPECT_EQ(TrayCallsSince(mark), 0);
  EXPECT_EQ(sim.network.socketsAlive, 1);
  // Two minutes later again.
  sim.loop.RunFor(120000);
  EXPECT_EQ(LoggedCount("Trying to restart the connection\n"), 2);
  EXPECT_EQ(sim.network.ConnectionsOnPort(kCtiPort).size(), 3u);
}

TEST_F(CtiConnectionTest, RestartThatFailsShowsOffline) {
  ServeCti();
  Start();
  StopCti();
  sim.loop.RunFor(120000);
  EXPECT_FALSE(Linked());
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_OFFLINE);
}

TEST_F(CtiConnectionTest, ConnectThatCannotStartEndsTheAttemptAndIsRetried) {
  struct Case {
    const char* address;
    int port;
    int error;
  } cases[] = {{"", kCtiPort, 11001}, {"no-such-host.invalid", kCtiPort, 11001}, {kServer, 0, 10022},
               {kServer, 70000, 10022}, {"300.1.1.1", kCtiPort, 11001}};
  for (const Case& c : cases) {
    sim::SimPlatform fresh;
    fresh.registry.CreateKey(kMainKey);
    fresh.registry.SetDword(kMainKey, "User ID", 42);
    fresh.registry.SetString(kMainKey, "Server IP Address", c.address);
    fresh.registry.SetDword(kMainKey, "Server Port", c.port);
    fresh.network.Listen(kServer, kCtiPort);
    CMainFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    fresh.loop.RunFor(1);
    EXPECT_EQ(f.Link().IsConnecting(), false) << c.address << ":" << c.port;
    EXPECT_TRUE(fresh.debug.Contains("Failed to connect to TSG (CTI-Port): " + std::to_string(c.error) + ".\n"))
        << c.address;
    EXPECT_FALSE(fresh.dialogs.at(0)->visible);
    // Repaired address: the next supervision tick connects.
    fresh.registry.SetString(kMainKey, "Server IP Address", kServer);
    fresh.registry.SetDword(kMainKey, "Server Port", kCtiPort);
    fresh.loop.RunFor(30000);
    EXPECT_EQ(f.Link().LinkState(), "Conected") << c.address;
  }
}

TEST_F(CtiConnectionTest, NoSecondConnectWhileOneIsUnderWay) {
  auto& cti = ServeCti();
  cti.connectDelayMs = 45000;  // a server that takes its time to accept
  Start();
  sim.loop.RunFor(30000);  // supervision tick while connecting
  EXPECT_EQ(sim.network.socketsCreated, 1);
  sim.loop.RunFor(15000);
  EXPECT_TRUE(Linked());
  EXPECT_EQ(sim.network.ConnectionsOnPort(kCtiPort).size(), 1u);
}

TEST_F(CtiConnectionTest, SocketThatCannotBeCreatedIsMadeAgainBySupervision) {
  sim.network.failNextCreate = 10055;
  ServeCti();
  Start();
  EXPECT_TRUE(Logged("Failed to create client socket: 10055!"));
  EXPECT_FALSE(Linked());
  EXPECT_EQ(frame->Link().IsConnecting(), false);
  sim.loop.RunFor(30000);
  EXPECT_TRUE(Linked());
}

TEST_F(CtiConnectionTest, AwayKeepsTheIconWhateverTheLinkDoes) {
  ServeCti();
  Start();
  frame->Tray().EnterAway();
  std::size_t mark = sim.shell.trayCalls.size();
  CtiConnection()->Close();
  sim.loop.RunFor(30000);
  EXPECT_TRUE(Linked());
  EXPECT_EQ(TrayCallsSince(mark), 0);
}

TEST_F(CtiConnectionTest, EveryReadIsOneMessageWithItsReceiveTime) {
  ServeCti();
  Start();
  SendEvent("X|17|Anna|0301234|0302222|42|\n");
  auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  // The receive time is the ctime text, newline included.
  EXPECT_EQ(messages[0], "Message from CTI-Port: X|17|Anna|0301234|0302222|42|\n at " + sim.loop.CtimeNow());
}

// Events written close together arrive in one read; each is handed on by
// itself with the read's time, and whatever follows the last line feed is
// one more message.
TEST_F(CtiConnectionTest, EventsArrivingInOneReadAreHandedOnOneByOne) {
  struct Case {
    std::string read;
    std::vector<std::string> messages;
    bool shutdown;
  } cases[] = {
      {"A|1|\nB|2|\r\n", {"A|1|\n", "B|2|\r\n"}, false},
      {"A|1|\n\nrest", {"A|1|\n", "\n", "rest"}, false},
      {"A|1|\nBYE", {"A|1|\n", "BYE"}, true},
      {"bye\nA|1|\n", {"bye\n", "A|1|\n"}, false},
      {std::string("A|1|\nB\0C|3|\n", 11), {"A|1|\n", "B"}, false},
  };
  for (const Case& c : cases) {
    auto client = ConnectFreshClient();
    sim::SimPlatform& fresh = client->platform;
    auto& conn = client->conn;
    ASSERT_TRUE(conn);
    fresh.loop.RunFor(1000);
    conn->Send(c.read);
    fresh.loop.RunFor(1);
    std::vector<std::string> got;
    for (const auto& line : fresh.debug.lines)
      if (line.rfind("Message from CTI-Port: ", 0) == 0) got.push_back(line);
    std::vector<std::string> want;
    for (const auto& m : c.messages) want.push_back("Message from CTI-Port: " + m + " at " + fresh.loop.CtimeNow());
    EXPECT_EQ(got, want) << c.read;
    EXPECT_EQ(conn->clientShutdownSend(), c.shutdown) << c.read;
  }
}

TEST_F(CtiConnectionTest, LongBlocksAreHandedOverInReadsOfAtMost4095Bytes) {
  ServeCti();
  Start();
  SendEvent(std::string(4095, 'a'));
  SendEvent(std::string(5000, 'b'));
  sim.loop.RunFor(1);
  auto messages = Messages();
  ASSERT_EQ(messages.size(), 3u);
  const std::string prefix = "Message from CTI-Port: ";
  // The debug line itself is cut by the bounded formatter's capacity only
  // when formatted; the frame writes it whole.
  EXPECT_EQ(messages[0].substr(prefix.size(), 4095), std::string(4095, 'a'));
  EXPECT_EQ(messages[1].substr(prefix.size(), 4096), std::string(4095, 'b') + " ");
  EXPECT_EQ(messages[2].substr(prefix.size(), 906), std::string(905, 'b') + " ");
}

TEST_F(CtiConnectionTest, NulEndsTheMessageAndHighBytesPassUnchanged) {
  ServeCti();
  Start();
  SendEvent(std::string("ab\0cd", 5));
  SendEvent("M\xFC\x80\xFF|\n");
  auto messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].rfind("Message from CTI-Port: ab at ", 0), 0u);
  EXPECT_EQ(messages[1].rfind("Message from CTI-Port: M\xFC\x80\xFF|\n at ", 0), 0u);
}

TEST_F(CtiConnectionTest, ByeInAnyCaseShutsTheSendingSideOnlyWhenAlone) {
  struct Case {
    const char* text;
    bool shutdown;
  } cases[] = {{"bye", true}, {"BYE", true}, {"bYe", true}, {"bye\n", false}, {"byes", false}, {"by", false}};
  for (const Case& c : cases) {
    auto client = ConnectFreshClient();
    sim::SimPlatform& fresh = client->platform;
    auto& conn = client->conn;
    ASSERT_TRUE(conn);
    conn->Send(c.text);
    fresh.loop.RunFor(1);
    EXPECT_EQ(conn->clientShutdownSend(), c.shutdown) << c.text;
    // The message is handed over first, whatever it says.
    EXPECT_TRUE(fresh.debug.Contains(std::string("Message from CTI-Port: ") + c.text + " at " + fresh.loop.CtimeNow()))
        << c.text;
  }
}

TEST_F(CtiConnectionTest, ZeroByteReadLeavesAHalfDeadLinkUntilTheRestart) {
  ServeCti();
  Start();
  auto first = CtiConnection();
  first->Send("");  // the read finds the end of the stream
  sim.loop.RunFor(1);
  EXPECT_TRUE(first->closedByClient());
  EXPECT_TRUE(Linked());
  EXPECT_FALSE(Logged("Connection to TSG lost\n"));
  sim.loop.RunFor(120000);
  EXPECT_NE(CtiConnection(), first);
  EXPECT_TRUE(Linked());
}

TEST_F(CtiConnectionTest, ReadErrorIsLoggedAndTheLinkStays) {
  ServeCti();
  Start();
  // A read notification with nothing to read: the read fails with
  // WSAEWOULDBLOCK, which is reported and otherwise ignored.
  frame->CtiSocket()->OnReceive(0);
  EXPECT_TRUE(Logged("Error number is 10035"));
  EXPECT_TRUE(Linked());
}

}  // namespace
}  // namespace fon::test
