// Control channel over its sockets, script mode, options and process life of
// tsg-sim. The control protocol itself is tested in control_channel_test.cpp.

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "sim_harness.h"

using namespace std::string_literals;
using namespace tsgsim_test;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWaitMs = 2000;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(TsgSimControl, ReadyLineNamesThreeDistinctPorts)
{
    Sim sim;
    ASSERT_TRUE(sim.Ready()) << sim.ReadyLine();
    EXPECT_TRUE(std::regex_match(sim.ReadyLine(), std::regex(R"(tsg-sim ready cti=\d+ relay=\d+ control=\d+)")));
    EXPECT_GT(sim.ctiPort, 0);
    EXPECT_GT(sim.relayPort, 0);
    EXPECT_GT(sim.controlPort, 0);
    EXPECT_NE(sim.ctiPort, sim.relayPort);
    EXPECT_NE(sim.ctiPort, sim.controlPort);
}

TEST(TsgSimControl, ListensOnlyOnTheBindAddress)
{
    Sim sim;
    ASSERT_TRUE(sim.Ready());
    // 127.0.0.2 is loopback as well, but not the address the ports are bound to.
    for (int port : {sim.ctiPort, sim.relayPort, sim.controlPort}) {
        int err = 0;
        EXPECT_FALSE(Connect(port, "127.0.0.2", &err).Valid()) << port;
        EXPECT_EQ(err, ECONNREFUSED) << port;
        EXPECT_TRUE(Connect(port, "127.0.0.1").Valid()) << port;
    }
}

TEST(TsgSimControl, StatusCountsWhatIsGoingOn)
{
    Sim sim(SimOptions{{"--users", ExampleUsersPath()}});
    ASSERT_TRUE(sim.Ready());
    UniqueFd a = Connect(sim.ctiPort);
    UniqueFd b = Connect(sim.ctiPort);
    ASSERT_EQ(sim.Command("wait-clients 2 2000"), "ok clients=2");
    ASSERT_EQ(RelayExchange(sim.relayPort, "GETDEVICES|42\0"s).data, "+OK|1|d|301|d|302");
    ASSERT_TRUE(sim.WaitForLog("closed (by client)", kWaitMs));
    ASSERT_EQ(sim.Command("event X\\n"), "ok sent to 2 client(s)");
    ASSERT_EQ(sim.Command("fault GETDEVICES late 100 once"), "ok fault GETDEVICES late:100:once");
    EXPECT_EQ(sim.Command("status"), "ok cti=up cti_clients=2 relay_open=0 relay_requests=1 events_sent=1"
                                     " control_clients=1 faults=GETDEVICES=late:100:once");
}

TEST(TsgSimControl, QuitEndsTheProcessCleanly)
{
    Sim sim;
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(sim.Command("quit"), "ok quitting");
    EXPECT_EQ(sim.WaitExit(kWaitMs), 0);
    EXPECT_NE(sim.Log().find("tsg-sim stopped"), std::string::npos);
}

TEST(TsgSimControl, TermAndIntSignalsEndTheProcessCleanly)
{
    for (int sig : {SIGTERM, SIGINT}) {
        Sim sim;
        ASSERT_TRUE(sim.Ready());
        UniqueFd client = Connect(sim.ctiPort);
        ASSERT_EQ(sim.Command("wait-clients 1 2000"), "ok clients=1");
        EXPECT_EQ(sim.Stop(sig), 0) << sig;
        EXPECT_NE(sim.Log().find(sig == SIGTERM ? "SIGTERM received" : "SIGINT received"), std::string::npos);
        EXPECT_EQ(ReadOnce(client.Get(), kWaitMs).status, ReadStatus::Eof);
    }
}

TEST(TsgSimControl, StdinCommandsReplyOnStdout)
{
    SimOptions options;
    options.args = {"--stdin-control"};
    options.pipeStdin = true;
    Sim sim(options);
    ASSERT_TRUE(sim.Ready());
    UniqueFd client = Connect(sim.ctiPort);
    ASSERT_TRUE(SendAll(sim.StdinFd(), "wait-clients 1 2000\nevent X|1|Anna|030|0302222|42|\\n\n"));
    EXPECT_EQ(sim.StdoutLine(kWaitMs), "ok clients=1");
    EXPECT_EQ(sim.StdoutLine(kWaitMs), "ok sent to 1 client(s)");
    EXPECT_EQ(ReadOnce(client.Get(), kWaitMs).data, "X|1|Anna|030|0302222|42|\n");
    // The control port works alongside.
    EXPECT_EQ(sim.Command("status").rfind("ok cti=up cti_clients=1 ", 0), 0u);
    // The last line may lack its line end; closing stdin still runs it.
    ASSERT_TRUE(SendAll(sim.StdinFd(), "quit"));
    sim.CloseStdin();
    EXPECT_EQ(sim.WaitExit(kWaitMs), 0);
}

TEST(TsgSimControl, ScriptRunsAlongsideTheServers)
{
    SimOptions options;
    options.scriptText = "# demo\n"
                         "wait-clients 1\n"
                         "event A|1|\\n\n"
                         "sleep 100\n"
                         "event B|2|\\n\n"
                         "fault GETDEVICES close\n"
                         "bogus command\n"
                         "sleep 50\n"
                         "bye\n";
    Sim sim(options);
    ASSERT_TRUE(sim.Ready());
    auto start = Clock::now();
    UniqueFd client = Connect(sim.ctiPort);
    EXPECT_EQ(ReadOnce(client.Get(), kWaitMs).data, "A|1|\n");
    EXPECT_EQ(ReadOnce(client.Get(), kWaitMs).data, "B|2|\n");
    EXPECT_GE(MsSince(start), 95) << "the script sleeps 100 ms between A and B";
    EXPECT_EQ(ReadOnce(client.Get(), kWaitMs).data, "bye");
    EXPECT_TRUE(sim.WaitForLog("SCRIPT finished", kWaitMs));
    EXPECT_NE(sim.Log().find("CONTROL script:7 reply \"err unknown command bogus\""), std::string::npos) << sim.Log();
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETDEVICES|42\0"s).status, ReadStatus::Eof);
    // The servers keep running after the script.
    EXPECT_EQ(sim.Command("status").rfind("ok cti=up", 0), 0u);
}

TEST(TsgSimControl, ScriptWaitWithTimeoutGoesOnAndQuitEndsTheProcess)
{
    SimOptions options;
    options.scriptText = "wait-clients 5 100\nquit\n";
    Sim sim(options);
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(sim.WaitExit(kWaitMs), 0);
    EXPECT_NE(sim.Log().find("reply \"timeout clients=0\""), std::string::npos) << sim.Log();
}

// ---------------------------------------------------------------- options

struct BadStart {
    std::vector<std::string> args;
    std::string usersText;  // empty: no users file
    int exitCode;
    std::string inStderr;
};

TEST(TsgSimOptions, BadStartsExitWithAMessage)
{
    const std::vector<BadStart> cases = {
        {{"--bogus"}, "", 2, "unknown option --bogus"},
        {{"--cti-port"}, "", 2, "--cti-port needs a value"},
        {{"--cti-port", "70000"}, "", 2, "bad port"},
        {{"--relay-port", "x"}, "", 2, "bad port"},
        {{"--bind", "localhost"}, "", 2, "IPv4"},
        {{"--fault", "* sometimes"}, "", 2, "unknown fault mode"},
        {{"--users", "/nonexistent/users.txt"}, "", 2, "/nonexistent/users.txt"},
        {{"--script", "/nonexistent/script.txt"}, "", 2, "cannot open script"},
        {{"--log", "/nonexistent/dir/sim.log"}, "", 2, "cannot open log file"},
        {{}, "user demo demo 42 7\nprofile 42 1\n", 2, "line 2: expected: profile"},
        {{}, "user demo demo 42 7\nuser demo x 43 0\n", 2, "line 2: duplicate user name"},
    };
    for (const auto& c : cases) {
        SimOptions options;
        options.defaultArgs = false;
        options.captureStderr = true;
        options.args = c.args;
        if (!c.usersText.empty()) {
            options.usersText = c.usersText;
        }
        Sim sim(options);
        EXPECT_FALSE(sim.Ready()) << c.inStderr;
        EXPECT_EQ(sim.WaitExit(kWaitMs), c.exitCode) << c.inStderr;
        std::string err = sim.Stderr();
        EXPECT_NE(err.find(c.inStderr), std::string::npos) << "stderr: " << err;
    }
}

TEST(TsgSimOptions, PortInUseFailsTheStart)
{
    Sim first;
    ASSERT_TRUE(first.Ready());
    SimOptions options;
    options.defaultArgs = false;
    options.captureStderr = true;
    options.args = {"--cti-port", std::to_string(first.ctiPort), "--relay-port", "0"};
    Sim second(options);
    EXPECT_FALSE(second.Ready());
    EXPECT_EQ(second.WaitExit(kWaitMs), 1);
    EXPECT_NE(second.Stderr().find("cannot bind"), std::string::npos);
}

TEST(TsgSimOptions, HelpPrintsUsage)
{
    SimOptions options;
    options.defaultArgs = false;
    options.args = {"--help"};
    Sim sim(options);
    EXPECT_EQ(sim.WaitExit(kWaitMs), 0);
    EXPECT_EQ(sim.ReadyLine(), "usage: tsg-sim [options]");
}

TEST(TsgSimOptions, LogFileIsAppendedNotReplaced)
{
    TempDir dir;
    std::string log = dir.Write("shared.log", "earlier line\n");
    SimOptions options;
    options.defaultArgs = false;
    options.args = {"--cti-port", "0", "--relay-port", "0", "--control-port", "0", "--log", log};
    {
        Sim sim(options);
        ASSERT_TRUE(sim.Ready());
        EXPECT_EQ(sim.Command("log phase one"), "ok");
        EXPECT_EQ(sim.Command("quit"), "ok quitting");
        EXPECT_EQ(sim.WaitExit(kWaitMs), 0);
    }
    std::ifstream in(log, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    EXPECT_EQ(text.rfind("earlier line\n", 0), 0u);
    EXPECT_NE(text.find(" NOTE phase one\n"), std::string::npos);
}

} // namespace

namespace {

TEST(TsgSimLifetime, BusySessionEndsWithoutLeaksOrSanitizerReports)
{
    // The one run with the leak check on: it goes through every kind of
    // connection, fault and command before quitting.
    SimOptions options;
    options.checkLeaks = true;
    options.args = {"--users", ExampleUsersPath(), "--stdin-control"};
    options.pipeStdin = true;
    options.scriptText = "wait-clients 1\nevent from script\\n\n";
    Sim sim(options);
    ASSERT_TRUE(sim.Ready());
    UniqueFd cti = Connect(sim.ctiPort);
    EXPECT_EQ(ReadOnce(cti.Get(), kWaitMs).data, "from script\n");
    for (const char* fault : {"normal", "noanswer", "late 10", "split 10", "close", "garbage", "big 5000",
                              "answer +OK", "noread"}) {
        ASSERT_EQ(sim.Command(std::string("fault * ") + fault + (std::string(fault) == "normal" ? "" : " once"))
                      .rfind("ok ", 0),
                  0u)
            << fault;
        UniqueFd relay = Connect(sim.relayPort);
        SendAll(relay.Get(), "GETDEVICES|42\0"s);
        ReadOnce(relay.Get(), 50);
    }
    UniqueFd halfDone = Connect(sim.relayPort);
    SendAll(halfDone.Get(), "GETPROFILELIST|42");
    EXPECT_EQ(sim.Command("bogus").rfind("err ", 0), 0u);
    EXPECT_EQ(sim.Command("bye"), "ok bye sent to 1 client(s)");
    ASSERT_TRUE(SendAll(sim.StdinFd(), "status\n"));
    EXPECT_EQ(sim.StdoutLine(kWaitMs).rfind("ok cti=up", 0), 0u);
    EXPECT_EQ(sim.Command("quit"), "ok quitting");
    EXPECT_EQ(sim.WaitExit(5000), 0) << sim.Log();
}

} // namespace
