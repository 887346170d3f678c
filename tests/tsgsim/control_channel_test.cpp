// The control protocol without sockets: lines fed to a ControlChannel, run
// by ControlCommands against a fake server, with an explicit clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_harness.h"
#include "tsg-sim/control_channel.h"

namespace {

const tsgsim::TimePoint kStart = tsgsim::TimePoint{} + std::chrono::hours(1);

tsgsim::TimePoint At(int ms)
{
    return kStart + tsgsim::Millis(ms);
}

class FakeHost final : public tsgsim::ControlHost {
public:
    std::size_t Broadcast(std::string_view, const char*) override { return counts.ctiClients; }
    std::size_t DropCtiClients() override { return counts.ctiClients; }
    void StopCtiListener() override { counts.ctiListening = false; }
    bool StartCtiListener(std::string*) override { return counts.ctiListening = true; }
    bool SetRelayStalled(bool, std::string*) override { return true; }
    tsgsim::ServerCounts Counts() const override { return counts; }

    tsgsim::ServerCounts counts{true};
};

class ControlChannelTest : public ::testing::Test {
protected:
    ControlChannelTest()
    {
        std::string err;
        users = tsgsim::UserDb::Load(tsgsim_test::ExampleUsersPath(), &err).value_or(tsgsim::UserDb());
    }

    // Feeds bytes and runs what can run at `now`; returns the replies given.
    std::vector<std::string> Feed(const std::string& bytes, tsgsim::TimePoint now = kStart)
    {
        replies.clear();
        channel.Feed(bytes);
        channel.Run(commands, now);
        return replies;
    }

    std::vector<std::string> RunAt(tsgsim::TimePoint now)
    {
        replies.clear();
        channel.Run(commands, now);
        return replies;
    }

    std::string log;
    tsgsim::Logger logger{&log};
    tsgsim::UserDb users;
    tsgsim::FaultTable faults;
    FakeHost host;
    tsgsim::ControlCommands commands{host, users, faults, logger};
    std::vector<std::string> replies;
    tsgsim::ControlChannel channel{tsgsim::SourceKind::Tcp, 1, logger,
                                   [this](const std::string& reply) { replies.push_back(reply); }};
};

using Replies = std::vector<std::string>;

TEST_F(ControlChannelTest, BadCommandsGetAnErrorReply)
{
    for (const char* line : {"bogus", "fault", "fault X", "fault X late", "fault X sideways", "forced 99 1",
                             "forced 42", "forced 42 x", "cti sideways", "cti", "wait-clients",
                             "wait-clients x", "wait-clients 1 x", "sleep", "sleep -1", "drop now", "bye now"}) {
        Replies r = Feed(std::string(line) + "\n");
        ASSERT_EQ(r.size(), 1u) << line;
        EXPECT_EQ(r[0].rfind("err ", 0), 0u) << line << " -> " << r[0];
    }
    // Blank and comment lines are no commands and get no reply.
    Replies r = Feed("\n  \n# note\nstatus\n");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].rfind("ok cti=up ", 0), 0u) << r[0];
    EXPECT_NE(log.find("CONTROL tcp#1 reply \"err unknown command bogus\""), std::string::npos) << log;
}

TEST_F(ControlChannelTest, LinesOfOneSourceWaitForTheOneBefore)
{
    EXPECT_EQ(Feed("wait-clients 1 200\nsleep 50\nstatus\n"), Replies{});
    EXPECT_EQ(RunAt(At(199)), Replies{});
    EXPECT_EQ(RunAt(At(200)), Replies{"timeout clients=0"});
    EXPECT_EQ(channel.Deadline(), At(250)) << "the sleep starts when its line runs";
    Replies rest = RunAt(At(250));
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0], "ok");
    EXPECT_EQ(rest[1].rfind("ok cti=", 0), 0u);
    EXPECT_TRUE(channel.Idle());
}

TEST_F(ControlChannelTest, WaitClientsRepliesWhenEnoughHaveConnectedOrOnTimeout)
{
    EXPECT_EQ(Feed("wait-clients 1 3000\n"), Replies{});
    EXPECT_EQ(RunAt(At(100)), Replies{});
    host.counts.ctiClients = 1;
    EXPECT_EQ(RunAt(At(101)), Replies{"ok clients=1"});
    EXPECT_EQ(Feed("wait-clients 0 10\n"), Replies{"ok clients=1"});
    EXPECT_EQ(Feed("wait-clients 2\n"), Replies{});
    EXPECT_EQ(channel.Deadline(), std::nullopt) << "no timeout: waits for ever";
}

TEST_F(ControlChannelTest, OverlongLineIsRefusedAndTheChannelGoesOn)
{
    // The line comes in read-sized pieces, as from a socket.
    std::string line = "event " + std::string(300 * 1024, 'x') + "\nstatus\n";
    Replies r;
    for (std::size_t at = 0; at < line.size(); at += 4096) {
        Replies part = Feed(line.substr(at, 4096));
        r.insert(r.end(), part.begin(), part.end());
    }
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].rfind("err line too long", 0), 0u) << r[0];
    EXPECT_EQ(r[1].rfind("ok cti=", 0), 0u) << r[1];
}

TEST_F(ControlChannelTest, LastLineWithoutLineEndRunsAtEndOfInput)
{
    EXPECT_EQ(Feed("status\nquit").size(), 1u);
    EXPECT_FALSE(commands.QuitRequested());
    channel.EndOfInput();
    EXPECT_EQ(RunAt(kStart), Replies{"ok quitting"});
    EXPECT_TRUE(commands.QuitRequested());
}

} // namespace
