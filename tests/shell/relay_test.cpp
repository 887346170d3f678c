// Relay requests: framing per kind, timeouts, failures, odd answers.
#include <gtest/gtest.h>

#include "net/relay_socket.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class RelayTest : public ShellTest {};  // the CTI port stays down

// A dialog keeps its socket until it has finished with the request.
class DialogLikeOwner : public IRelayOwner {
 public:
  void OnRelayAnswer(CRelaySocket&, const std::string& answer) override { answers.push_back(answer); }
  void OnRelayClosed(CRelaySocket&) override { closed = true; }
  std::vector<std::string> answers;
  bool closed = false;
};

TEST_F(RelayTest, KindsChooseTimerAndTerminatingZeroAndADialogCanOwnASocket) {
  sim.network.Listen(kServer, kRelayPort);
  DialogLikeOwner owner;
  const unsigned timers[] = {0, 15, 15, 15, 16, 17, 15, 15, 18};
  for (int kind = 1; kind <= 8; ++kind) {
    EXPECT_EQ(RelayTimerId(kind), timers[kind]);
    CRelaySocket socket(sim, &owner, kind);
    ASSERT_EQ(socket.Create(), 0);
    ASSERT_EQ(socket.Connect(kServer, kRelayPort), 0);
    ASSERT_EQ(socket.SendRequest("CTILOGIN|u|p"), 0);
    bool login = kind == kRelayRegistration || kind == kRelayLogin;
    EXPECT_EQ(sim.network.connections.back()->writes,
              std::vector<std::string>{login ? "CTILOGIN|u|p" : std::string("CTILOGIN|u|p", 13)});
  }
  CRelaySocket login(sim, &owner, kRelayLogin);
  ASSERT_EQ(login.Create(), 0);
  ASSERT_EQ(login.Connect(kServer, kRelayPort), 0);
  auto conn = sim.network.connections.back();
  conn->Send("+OK|4");
  conn->Send("2|7");
  sim.loop.RunFor(1);
  conn->Close();
  sim.loop.RunFor(1);
  EXPECT_EQ(owner.answers, (std::vector<std::string>{"+OK|4", "2|7"}));
  EXPECT_TRUE(owner.closed);
}

TEST_F(RelayTest, TimeoutsAndConnectFailuresReportPerKind) {
  struct Case {
    unsigned timer;
    Popups timeout;
    Popups connectFailure;
  } cases[] = {
      // The force request's texts are its asker's (exit, idle timer, restore).
      {15, {}, {}},
      {16, {}, {}},
      {17, {{2, kText218, 0}}, {{2, kText233, 0}}},
      {18, {{2, kText239, 0}}, {{2, kText239, 0}}},
  };
  const char* words[] = {"FORCEPROFILE", "GETACTIVEFORCEDPROFILE", "GETPROFILELIST", "GETDEVICES"};
  StartRecording();
  for (const Case& c : cases) {
    const std::string word = words[c.timer - 15];
    const std::string timeoutLine = "Timeout - Relay Socket does not answer to " + word + " \n";
    for (bool reachable : {true, false}) {
      if (reachable)
        ServeRelay();  // accepts, never answers
      else
        sim.network.StopListening(kServer, kRelayPort);
      Shown().clear();
      int timeouts = LoggedCount(timeoutLine);
      ASSERT_EQ(frame->SendRelayRequest({word, ""}, c.timer), reachable ? 1 : 0) << word;
      if (reachable) {
        sim.loop.RunFor(4999);
        EXPECT_TRUE(Shown().empty());
        sim.loop.RunFor(1);
        EXPECT_EQ(LoggedCount(timeoutLine), timeouts + 1);
        EXPECT_TRUE(sim.network.LastConnectionOnPort(kRelayPort)->closedByClient());
      }
      EXPECT_EQ(Shown(), reachable ? c.timeout : c.connectFailure) << word << reachable;
      EXPECT_FALSE(Running(c.timer));
      EXPECT_EQ(frame->Relay().RelayBusy(), 0);
    }
  }
  EXPECT_TRUE(Logged("OnConnect error: 10061"));
  EXPECT_TRUE(Logged("Error at connecting to relay port\n"));
  sim.loop.RunPending();
  EXPECT_EQ(sim.network.socketsAlive, 0);
}

TEST_F(RelayTest, UnknownHostFailsAtOnceAndASwallowingOneWithinFiveSeconds) {
  StartRecording();
  sim.registry.SetString(kMainKey, "Server IP Address", "no-such-host.invalid");
  std::uint64_t start = sim.loop.NowMs();
  EXPECT_EQ(frame->SendRelayRequest({"GETDEVICES", ""}, 18), 0);
  EXPECT_EQ(sim.loop.NowMs(), start);
  EXPECT_TRUE(Logged("OnConnect error: 11001"));

  sim.registry.SetString(kMainKey, "Server IP Address", kServer);
  sim.network.Listen(kServer, kRelayPort).mode = sim::ListenMode::kBlackhole;
  bool loopRan = false;
  sim.loop.Schedule(2000, [&] { loopRan = true; });
  EXPECT_EQ(frame->SendRelayRequest({"GETDEVICES", ""}, 18), 0);
  EXPECT_EQ(sim.loop.NowMs() - start, kRelayConnectTimeoutMs);
  EXPECT_TRUE(loopRan);
  EXPECT_TRUE(Logged("OnConnect error: 10060"));
  EXPECT_EQ(Shown(), (Popups{{2, kText239, 0}, {2, kText239, 0}}));
}

TEST_F(RelayTest, CloseWithoutAnswerIsQuietAndAnEmptyReadOnlyClosesTheHandle) {
  sim::SimListener& relay = ServeRelay();
  relay.onData = [](std::shared_ptr<sim::SimConnection> conn, const std::string& line) {
    line.rfind("GETDEVICES", 0) == 0 ? conn->Close() : conn->Send("");
  };
  StartRecording();
  ASSERT_EQ(frame->SendRelayRequest({"GETDEVICES", ""}, 18), 1);
  ASSERT_EQ(frame->SendRelayRequest({"GETPROFILELIST", ""}, 17), 1);
  sim.loop.RunFor(1);
  EXPECT_FALSE(Running(18));
  EXPECT_TRUE(Running(17));
  EXPECT_TRUE(sim.network.LastConnectionOnPort(kRelayPort)->closedByClient());
  sim.loop.RunFor(5000);
  EXPECT_FALSE(Logged("Timeout - Relay Socket does not answer to GETDEVICES \n"));
  EXPECT_EQ(Shown(), (Popups{{2, kText218, 0}}));
  EXPECT_EQ(sim.network.socketsAlive, 0);
}

TEST_F(RelayTest, OnlyTheFirstReadOfAnAnswerCounts) {
  struct Case {
    std::vector<std::string> writes;
    std::vector<std::pair<int, std::string>> profiles;
    std::string logged;
  } cases[] = {
      {{"X"}, {}, "X"},
      {{"+OK|1|Ho", "me|2|Office"}, {{1, "Ho"}}, "+OK|1|Ho"},
      {{std::string("\xFF\0+OK|1|Home", 12)}, {}, "\xFF"},
      {{"+OK|1|" + std::string(5000, 'a')}, {{1, std::string(4089, 'a')}}, "+OK|1|" + std::string(4089, 'a')},
  };
  std::vector<std::string> writes;
  ServeRelay().onData = [&](std::shared_ptr<sim::SimConnection> conn, const std::string&) {
    for (const auto& w : writes) conn->Send(w);
  };
  StartRecording();
  for (const Case& c : cases) {
    writes = c.writes;
    std::size_t lines = sim.debug.lines.size();
    ASSERT_EQ(frame->SendRelayRequest({"GETPROFILELIST", ""}, 17), 1);
    sim.loop.RunFor(10);
    std::vector<std::pair<int, std::string>> got;
    frame->Profiles().Profiles().ForEachFromTail([&](const auto& e) { got.emplace_back(e.nId, e.strText); });
    EXPECT_EQ(got, c.profiles);
    std::vector<std::string> answers;
    for (std::size_t i = lines; i < sim.debug.lines.size(); ++i)
      if (sim.debug.lines[i].rfind("Relay answers to", 0) == 0) answers.push_back(sim.debug.lines[i]);
    EXPECT_EQ(answers,
              std::vector<std::string>{"Relay answers to GETPROFILELIST request: " + c.logged + "\n"});
  }
  EXPECT_EQ(Shown(), (Popups{{2, kText221, 0}, {2, kText221, 0}}));
}

TEST_F(RelayTest, ARequestReplacesTheOneOfItsKindAndTheNewestCounts) {
  std::vector<std::shared_ptr<sim::SimConnection>> held;
  ServeRelay().onData = [&](std::shared_ptr<sim::SimConnection> conn, const std::string&) {
    held.push_back(conn);
  };
  StartRecording();
  ASSERT_EQ(frame->SendRelayRequest({"GETPROFILELIST", ""}, 17), 1);
  sim.loop.RunFor(3000);
  ASSERT_EQ(frame->SendRelayRequest({"GETPROFILELIST", ""}, 17), 1);
  sim.loop.RunFor(1);
  held[0]->Send("+OK|1|Old");  // too late: that request is gone
  sim.loop.RunFor(3000);
  EXPECT_TRUE(Running(17));  // counting from the second request
  held[1]->Send("+OK|2|New");
  sim.loop.RunFor(1);
  EXPECT_EQ(frame->Profiles().Profiles().GetCount(), 1);
  EXPECT_EQ(frame->Profiles().Profiles().HeadId(), 2);

  sim.network.Listen(kServer, kRelayPort).connectDelayMs = 2000;
  // A request made inside the blocking connect of an older one of its kind
  // is the one that goes out; the older one gives way quietly.
  int inner = -1;
  sim.loop.Schedule(500, [&] { inner = frame->SendRelayRequest({"CLEARFORCEDPROFILE", ""}, 15); });
  EXPECT_EQ(frame->SendRelayRequest({"FORCEPROFILE", "|3"}, 15), 0);
  EXPECT_EQ(inner, 1);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(CountRequests("CLEARFORCEDPROFILE|42"), 1);
  EXPECT_EQ(CountRequests("FORCEPROFILE|42|3"), 0);
  sim.loop.RunFor(10000);
  for (const auto& conn : sim.network.ConnectionsOnPort(kRelayPort)) EXPECT_TRUE(conn->closedByClient());
  EXPECT_EQ(sim.network.socketsAlive, 0);
}

// A second request whose connect fails leaves the pending one of its kind
// alone: its answer still counts, and its timeout adds no second notice to
// the one about the failed connect.
TEST_F(RelayTest, AFailedConnectLeavesThePendingRequestOfItsKindAlone) {
  std::vector<std::shared_ptr<sim::SimConnection>> held;
  StartRecording();
  for (bool oldAnswers : {false, true}) {
    SCOPED_TRACE(oldAnswers);
    held.clear();
    Shown().clear();
    const int timeouts = LoggedCount("Timeout - Relay Socket does not answer to GETPROFILELIST \n");
    ServeRelay().onData = [&](std::shared_ptr<sim::SimConnection> conn, const std::string&) { held.push_back(conn); };
    ASSERT_EQ(frame->SendRelayRequest({"GETPROFILELIST", ""}, 17), 1);
    sim.loop.RunFor(3000);
    sim.network.StopListening(kServer, kRelayPort);
    ASSERT_EQ(frame->SendRelayRequest({"GETPROFILELIST", ""}, 17), 0);
    EXPECT_EQ(Shown(), (Popups{{2, kText233, 0}}));
    ASSERT_EQ(held.size(), 1u);
    EXPECT_FALSE(held[0]->closedByClient());
    if (oldAnswers) held[0]->Send("+OK|1|Home");
    sim.loop.RunFor(2000);
    EXPECT_EQ(frame->Profiles().Profiles().GetCount(), oldAnswers ? 1 : 0);
    EXPECT_EQ(LoggedCount("Timeout - Relay Socket does not answer to GETPROFILELIST \n") - timeouts, oldAnswers ? 0 : 1);
    EXPECT_EQ(Shown(), (Popups{{2, kText233, 0}}));
    EXPECT_FALSE(Running(17));
    EXPECT_TRUE(held[0]->closedByClient());
  }
}

}  // namespace
}  // namespace fon::test
