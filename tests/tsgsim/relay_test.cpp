// The relay port of the running simulator over loopback: the socket side of
// answers, timers and faults. The protocol itself is tested in
// relay_session_test.cpp.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "sim_harness.h"

using namespace std::string_literals;
using namespace tsgsim_test;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWaitMs = 2000;
constexpr int kQuietMs = 200;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class TsgSimRelayPort : public ::testing::Test {
protected:
    TsgSimRelayPort() : sim(SimOptions{{"--users", ExampleUsersPath()}}) {}
    void SetUp() override { ASSERT_TRUE(sim.Ready()) << "no ready line: " << sim.ReadyLine(); }

    // Sends a request on a fresh connection and keeps the connection.
    UniqueFd Ask(std::string_view request)
    {
        UniqueFd fd = Connect(sim.relayPort);
        EXPECT_TRUE(fd.Valid());
        EXPECT_TRUE(SendAll(fd.Get(), request));
        return fd;
    }

    Sim sim;
};

struct Exchange {
    std::string request;  // bytes as the client sends them
    std::string answer;
};

TEST_F(TsgSimRelayPort, AnswersFollowTheUsersFile)
{
    // In order: later forced-profile answers depend on earlier requests.
    const std::vector<Exchange> script = {
        {"CTILOGIN|demo|demo", "+OK|42|7"},
        {"CTILOGIN|demo|wrong", "-ERR|wrong password"},
        {"CTILOGIN|nobody|demo", "-ERR|unknown user"},
        {"GETDEVICES|42\0"s, "+OK|1|d|301|d|302"},
        {"GETDEVICES|41\0"s, "-ERR|unknown user"},
        {"GETPROFILELIST|42\0"s, "+OK|1|Home|2|Office|7|Away"},
        {"GETACTIVEFORCEDPROFILE|42\0"s, "+OK"},
        {"FORCEPROFILE|42|7\0"s, "+OK"},
        {"GETACTIVEFORCEDPROFILE|42\0"s, "+OK|7"},
        {"FORCEPROFILE|42|3\0"s, "-ERR|unknown profile"},
        {"CLEARFORCEDPROFILE|42\0"s, "+OK"},
        {"GETACTIVEFORCEDPROFILE|42\0"s, "+OK"},
        {"FORCEPROFILE|42|2\0"s, "+OK"},
        {"CLEARFORCEDPROFILE|42|\0"s, "+OK"},
        {"GETACTIVEFORCEDPROFILE|42\0"s, "+OK"},
        {"QUICKCALL|301|812|42\0"s, "+OK"},
        {"QUICKCALL|301|812|99\0"s, "-ERR|unknown user"},
        {"SETPROFILE|42|1\0"s, "-ERR|unknown command"},
    };
    for (const auto& step : script) {
        ReadResult r = RelayExchange(sim.relayPort, step.request, kWaitMs);
        ASSERT_EQ(r.status, ReadStatus::Data) << step.request;
        EXPECT_EQ(r.data, step.answer) << step.request;
    }
    EXPECT_TRUE(sim.WaitForLog("QUICKCALL caller \"301\" called \"812\" user 42", kWaitMs)) << sim.Log();
}

TEST_F(TsgSimRelayPort, ForcedCommandChangesTheActiveProfile)
{
    EXPECT_EQ(sim.Command("forced 42 2"), "ok user 42 forced 2");
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETACTIVEFORCEDPROFILE|42\0"s).data, "+OK|2");
    // Any id, also one outside the profile list, to test the client with it.
    EXPECT_EQ(sim.Command("forced 42 99"), "ok user 42 forced 99");
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETACTIVEFORCEDPROFILE|42\0"s).data, "+OK|99");
    EXPECT_EQ(sim.Command("forced 42 none"), "ok user 42 forced none");
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETACTIVEFORCEDPROFILE|42\0"s).data, "+OK");
    EXPECT_EQ(sim.Command("forced 41 1").rfind("err ", 0), 0u);
}

TEST_F(TsgSimRelayPort, ConnectionStaysOpenAfterTheAnswerUntilTheClientCloses)
{
    UniqueFd fd = Ask("GETDEVICES|42\0"s);
    EXPECT_EQ(ReadOnce(fd.Get(), kWaitMs).data, "+OK|1|d|301|d|302");
    EXPECT_EQ(ReadOnce(fd.Get(), kQuietMs).status, ReadStatus::Timeout) << "closed by the server";
    fd.Reset();
    EXPECT_TRUE(sim.WaitForLog("closed (by client)", kWaitMs)) << sim.Log();
}

TEST_F(TsgSimRelayPort, IdleConnectionIsClosedAfterTheIdleTime)
{
    Sim quick(SimOptions{{"--users", ExampleUsersPath(), "--relay-idle-ms", "200"}});
    ASSERT_TRUE(quick.Ready());
    UniqueFd fd = Connect(quick.relayPort);
    ASSERT_TRUE(SendAll(fd.Get(), "GETDEVICES|42\0"s));
    auto start = Clock::now();
    EXPECT_EQ(ReadOnce(fd.Get(), kWaitMs).data, "+OK|1|d|301|d|302");
    EXPECT_EQ(ReadOnce(fd.Get(), kWaitMs).status, ReadStatus::Eof);
    EXPECT_GE(MsSince(start), 180);
}

// ---------------------------------------------------------------- faults

TEST_F(TsgSimRelayPort, FaultSplitAnswersInTwoReads)
{
    ASSERT_EQ(sim.Command("fault GETPROFILELIST split 100"), "ok fault GETPROFILELIST split:100");
    const std::string whole = "+OK|1|Home|2|Office|7|Away";
    auto start = Clock::now();
    UniqueFd fd = Ask("GETPROFILELIST|42\0"s);
    ReadResult first = ReadOnce(fd.Get(), kWaitMs);
    ASSERT_EQ(first.status, ReadStatus::Data);
    EXPECT_EQ(first.data, whole.substr(0, whole.size() / 2));
    ReadResult second = ReadOnce(fd.Get(), kWaitMs);
    ASSERT_EQ(second.status, ReadStatus::Data);
    EXPECT_EQ(second.data, whole.substr(whole.size() / 2));
    EXPECT_GE(MsSince(start), 95);
}

TEST_F(TsgSimRelayPort, FaultCloseEndsTheConnectionWithoutData)
{
    ASSERT_EQ(sim.Command("fault * close"), "ok fault * close");
    UniqueFd fd = Ask("GETDEVICES|42\0"s);
    EXPECT_EQ(ReadOnce(fd.Get(), kWaitMs).status, ReadStatus::Eof);
    EXPECT_TRUE(sim.WaitForLog("RELAY request \"GETDEVICES|42\\0\"", kWaitMs));
}

TEST_F(TsgSimRelayPort, FaultBigSendsFillerAfterOk)
{
    ASSERT_EQ(sim.Command("fault GETDEVICES big 100000"), "ok fault GETDEVICES big:100000");
    UniqueFd fd = Ask("GETDEVICES|42\0"s);
    bool eof = false;
    std::string answer = ReadUpTo(fd.Get(), 100004, kWaitMs, &eof);
    ASSERT_EQ(answer.size(), 100004u);
    EXPECT_EQ(answer.substr(0, 4), "+OK|");
    EXPECT_EQ(answer.find('|', 4), std::string::npos);
    EXPECT_EQ(ReadOnce(fd.Get(), 100).status, ReadStatus::Timeout) << "nothing beyond n filler bytes";
}

TEST_F(TsgSimRelayPort, FaultNoReadNeverTakesTheRequest)
{
    ASSERT_EQ(sim.Command("fault * noread"), "ok fault * noread");
    {
        UniqueFd fd = Ask("GETDEVICES|42\0"s);
        EXPECT_EQ(ReadOnce(fd.Get(), kQuietMs).status, ReadStatus::Timeout);
    }
    EXPECT_TRUE(sim.WaitForLog("request never read", kWaitMs)) << sim.Log();
    EXPECT_EQ(sim.Log().find("RELAY request \"GETDEVICES"), std::string::npos);
    EXPECT_EQ(sim.Command("fault GETDEVICES noread").rfind("err ", 0), 0u) << "needs the request to decide";
}

TEST(TsgSimRelayOptions, FaultOptionPresetsAFault)
{
    Sim sim(SimOptions{{"--users", ExampleUsersPath(), "--fault", "GETPROFILELIST answer +OK|9|X once"}});
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETPROFILELIST|42\0"s).data, "+OK|9|X");
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETPROFILELIST|42\0"s).data, "+OK|1|Home|2|Office|7|Away");
}

TEST(TsgSimRelayOptions, WithoutUsersEveryUserIsUnknown)
{
    Sim sim;
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(RelayExchange(sim.relayPort, "CTILOGIN|demo|demo").data, "-ERR|unknown user");
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETDEVICES|42\0"s).data, "-ERR|unknown user");
}

TEST_F(TsgSimRelayPort, ManyConcurrentRequestsAreAllAnswered)
{
    std::vector<UniqueFd> fds;
    for (int i = 0; i < 100; ++i) {
        fds.push_back(Ask("GETDEVICES|42\0"s));
    }
    for (auto& fd : fds) {
        EXPECT_EQ(ReadOnce(fd.Get(), kWaitMs).data, "+OK|1|d|301|d|302");
    }
}

TEST_F(TsgSimRelayPort, ClientThatVanishesMidRequestDoesNoHarm)
{
    {
        UniqueFd fd = Ask("GETDEV");
    }
    {
        UniqueFd fd = Connect(sim.relayPort);
    }
    std::string huge(200 * 1024, 'A');
    {
        UniqueFd fd = Connect(sim.relayPort);
        SendAll(fd.Get(), huge);
    }
    EXPECT_EQ(RelayExchange(sim.relayPort, "GETDEVICES|42\0"s).data, "+OK|1|d|301|d|302");
    EXPECT_TRUE(sim.WaitForLog("without a request", kWaitMs)) << sim.Log();
}

} // namespace
