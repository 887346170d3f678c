// The CTI port of the running simulator, seen from clients on loopback.

#include <gtest/gtest.h>

#include <cerrno>
#include <regex>
#include <string>
#include <vector>

#include "sim_harness.h"

using namespace std::string_literals;
using namespace tsgsim_test;

namespace {

constexpr int kWaitMs = 2000;    // for things that must happen
constexpr int kQuietMs = 200;    // for things that must not happen

class TsgSimCti : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Ready()) << "no ready line: " << sim.ReadyLine(); }

    // Connects n clients and waits until the simulator has accepted them all.
    std::vector<UniqueFd> ConnectClients(int n)
    {
        std::vector<UniqueFd> clients;
        for (int i = 0; i < n; ++i) {
            clients.push_back(Connect(sim.ctiPort));
            EXPECT_TRUE(clients.back().Valid());
        }
        EXPECT_EQ(sim.Command("wait-clients " + std::to_string(n) + " 2000"), "ok clients=" + std::to_string(n));
        return clients;
    }

    Sim sim;
};

TEST_F(TsgSimCti, EventReachesEveryClientWholeInOneRead)
{
    auto clients = ConnectClients(3);
    EXPECT_EQ(sim.Command("event X|17|Anna|0301234|0302222|42|\\n"), "ok sent to 3 client(s)");
    for (auto& c : clients) {
        ReadResult r = ReadOnce(c.Get(), kWaitMs);
        ASSERT_EQ(r.status, ReadStatus::Data);
        EXPECT_EQ(r.data, "X|17|Anna|0301234|0302222|42|\n");
    }
}

TEST_F(TsgSimCti, EventEscapesArriveAsRawBytes)
{
    struct Case {
        std::string typed;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"X|1|M\\xFCller|030|0302222|42|\\n", "X|1|M\xFCller|030|0302222|42|\n"},
        {"X|1|A|0|+ERR|42|\\r\\n", "X|1|A|0|+ERR|42|\r\n"},
        {"cut\\0here\\n", "cut\0here\n"s},
        {"tab\\tand\\\\slash", "tab\tand\\slash"},
        {"\\x20padded\\x20", " padded "},
        {"BYE", "BYE"},
    };
    auto clients = ConnectClients(1);
    for (const auto& c : cases) {
        ASSERT_EQ(sim.Command("event " + c.typed), "ok sent to 1 client(s)") << c.typed;
        ReadResult r = ReadOnce(clients[0].Get(), kWaitMs);
        ASSERT_EQ(r.status, ReadStatus::Data) << c.typed;
        EXPECT_EQ(r.data, c.bytes) << c.typed;
    }
}

TEST_F(TsgSimCti, LargestClientBlockArrivesInOneRead)
{
    // The client reads at most 4095 bytes at a time; an event of exactly
    // that size must still come as one block.
    auto clients = ConnectClients(1);
    std::string body(4094, 'a');
    ASSERT_EQ(sim.Command("event " + body + "\\n"), "ok sent to 1 client(s)");
    ReadResult r = ReadOnce(clients[0].Get(), kWaitMs);
    ASSERT_EQ(r.status, ReadStatus::Data);
    EXPECT_EQ(r.data, body + "\n");
}

TEST_F(TsgSimCti, BadEventTextIsRefusedAndNothingIsSent)
{
    auto clients = ConnectClients(1);
    EXPECT_EQ(sim.Command("event abc\\q").rfind("err ", 0), 0u);
    EXPECT_EQ(sim.Command("event").rfind("err ", 0), 0u);
    EXPECT_EQ(ReadOnce(clients[0].Get(), kQuietMs).status, ReadStatus::Timeout);
}

TEST_F(TsgSimCti, ByeIsExactlyTheThreeLetters)
{
    auto clients = ConnectClients(2);
    EXPECT_EQ(sim.Command("bye"), "ok bye sent to 2 client(s)");
    for (auto& c : clients) {
        ReadResult r = ReadOnce(c.Get(), kWaitMs);
        ASSERT_EQ(r.status, ReadStatus::Data);
        EXPECT_EQ(r.data, "bye");
    }
}

TEST_F(TsgSimCti, DropClosesEveryClientButKeepsListening)
{
    auto clients = ConnectClients(2);
    EXPECT_EQ(sim.Command("drop"), "ok dropped 2 client(s)");
    for (auto& c : clients) {
        EXPECT_EQ(ReadOnce(c.Get(), kWaitMs).status, ReadStatus::Eof);
    }
    EXPECT_NE(sim.Command("status").find(" cti_clients=0 "), std::string::npos);
    UniqueFd again = Connect(sim.ctiPort);
    ASSERT_TRUE(again.Valid());
    EXPECT_EQ(sim.Command("wait-clients 1 2000"), "ok clients=1");
}

TEST_F(TsgSimCti, CtiDownRefusesConnectsAndUpAcceptsThemAgain)
{
    auto clients = ConnectClients(1);
    EXPECT_EQ(sim.Command("cti down"), "ok cti down");
    int err = 0;
    EXPECT_FALSE(Connect(sim.ctiPort, "127.0.0.1", &err).Valid());
    EXPECT_EQ(err, ECONNREFUSED);
    EXPECT_NE(sim.Command("status").find("cti=down"), std::string::npos);

    // Connections made before stay usable while the listener is down.
    EXPECT_EQ(sim.Command("event still here\\n"), "ok sent to 1 client(s)");
    EXPECT_EQ(ReadOnce(clients[0].Get(), kWaitMs).data, "still here\n");

    EXPECT_EQ(sim.Command("cti up"), "ok cti up");
    UniqueFd later = Connect(sim.ctiPort, "127.0.0.1", &err);
    ASSERT_TRUE(later.Valid()) << "errno " << err;
    EXPECT_EQ(sim.Command("wait-clients 2 2000"), "ok clients=2");
    EXPECT_EQ(sim.Command("event back\\n"), "ok sent to 2 client(s)");
    EXPECT_EQ(ReadOnce(later.Get(), kWaitMs).data, "back\n");
}

TEST_F(TsgSimCti, DataFromClientsIsDiscardedAndLogged)
{
    auto clients = ConnectClients(1);
    ASSERT_TRUE(SendAll(clients[0].Get(), "hello\x01"));
    EXPECT_TRUE(sim.WaitForLog("\"hello\\x01\" (discarded)", kWaitMs)) << sim.Log();
    EXPECT_EQ(sim.Command("event X\\n"), "ok sent to 1 client(s)");
    EXPECT_EQ(ReadOnce(clients[0].Get(), kWaitMs).data, "X\n");
}

TEST_F(TsgSimCti, VanishedClientsAreForgotten)
{
    {
        auto clients = ConnectClients(3);
        ASSERT_TRUE(SendAll(clients[1].Get(), "x"));
    }  // all three close here
    ASSERT_TRUE(sim.WaitForLog("(0 connected)", kWaitMs)) << sim.Log();
    EXPECT_EQ(sim.Command("event nobody\\n"), "ok sent to 0 client(s)");
    EXPECT_NE(sim.Command("status").find(" cti_clients=0 "), std::string::npos);
}

TEST_F(TsgSimCti, ManyClientsAllGetTheEvent)
{
    auto clients = ConnectClients(150);
    EXPECT_EQ(sim.Command("event X|1|A|1|2|42|\\n"), "ok sent to 150 client(s)");
    for (auto& c : clients) {
        EXPECT_EQ(ReadOnce(c.Get(), kWaitMs).data, "X|1|A|1|2|42|\n");
    }
}

TEST_F(TsgSimCti, EventLogLineCarriesSendTimeAndCount)
{
    auto clients = ConnectClients(1);
    long long before = EpochMsNow();
    ASSERT_EQ(sim.Command("event X|1|Anna|030|0302222|42|\\n"), "ok sent to 1 client(s)");
    long long after = EpochMsNow();

    std::smatch m;
    std::string log = sim.Log();
    std::regex line(R"((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}) CTI event sent "X\|1\|Anna\|030\|0302222\|42\|\\n")"
                    R"( to 1 client\(s\) t=(\d+))");
    ASSERT_TRUE(std::regex_search(log, m, line)) << log;
    long long t = std::stoll(m[2].str());
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    // The readable timestamp is the same instant as t (milliseconds included).
    EXPECT_EQ(m[1].str().substr(20, 3), std::to_string(1000 + t % 1000).substr(1));
}

TEST_F(TsgSimCti, ConnectsAndDisconnectsAreLoggedWithPeer)
{
    auto clients = ConnectClients(1);
    std::regex connected(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} CTI client connected 127\.0\.0\.1:\d+ )");
    EXPECT_TRUE(std::regex_search(sim.Log(), connected)) << sim.Log();
    clients.clear();
    EXPECT_TRUE(sim.WaitForLog("CTI client disconnected 127.0.0.1:", kWaitMs)) << sim.Log();
}

} // namespace
