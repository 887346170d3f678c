// The relay protocol without sockets: a RelaySession driven with bytes and
// an explicit clock, its answers and log lines read back.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "sim_harness.h"
#include "tsg-sim/relay_session.h"
#include "tsg-sim/text.h"

using namespace std::string_literals;
using tsgsim::Millis;
using tsgsim::RelayAction;
using tsgsim::RelayActions;
using tsgsim::RelayPhase;

namespace {

const tsgsim::TimePoint kStart = tsgsim::TimePoint{} + std::chrono::hours(1);

tsgsim::TimePoint At(int ms)
{
    return kStart + Millis(ms);
}

std::string Sent(const RelayActions& actions)
{
    std::string out;
    for (const auto& a : actions) {
        if (a.kind == RelayAction::Kind::Send) {
            out += a.bytes;
        }
    }
    return out;
}

std::optional<RelayAction> CloseIn(const RelayActions& actions)
{
    for (const auto& a : actions) {
        if (a.kind == RelayAction::Kind::Close) {
            return a;
        }
    }
    return std::nullopt;
}

class RelaySessionTest : public ::testing::Test {
protected:
    RelaySessionTest()
    {
        std::string err;
        users = tsgsim::UserDb::Load(tsgsim_test::ExampleUsersPath(), &err).value_or(tsgsim::UserDb());
        context.idleMs = 200;
    }

    void Fault(const std::string& words)
    {
        std::string err;
        auto rule = tsgsim::ParseFaultRule(tsgsim::SplitWords(words), &err);
        ASSERT_TRUE(rule.has_value()) << words << ": " << err;
        faults.Set(*rule);
    }

    // A new session that gets `request` in one read at kStart; returns what it sent at once.
    std::string Ask(tsgsim::RelaySession& s, std::string_view request)
    {
        RelayActions now = s.OnData(request, kStart);
        RelayActions done = s.OnReadsDone(kStart);
        now.insert(now.end(), done.begin(), done.end());
        last = CloseIn(now);
        return Sent(now);
    }

    bool Logged(const std::string& text) const { return log.find(text) != std::string::npos; }

    std::string log;
    tsgsim::Logger logger{&log};
    tsgsim::UserDb users;
    tsgsim::FaultTable faults;
    tsgsim::RelayContext context{users, faults, logger};
    std::optional<RelayAction> last;
};

TEST_F(RelaySessionTest, RequestLogIsByteExact)
{
    struct Case {
        std::string sent;
        std::string logged;
    };
    const std::vector<Case> cases = {
        {"GETDEVICES|42\0"s, "RELAY request \"GETDEVICES|42\\0\" #1"},
        {"CTILOGIN|demo|demo", "RELAY request \"CTILOGIN|demo|demo\" #2"},
        {"CTILOGIN|M\xFCller|a\"b\\c", "RELAY request \"CTILOGIN|M\\xFCller|a\\\"b\\\\c\" #3"},
        {"QUICKCALL|301|\t0301\r\n|42\0"s, "RELAY request \"QUICKCALL|301|\\t0301\\r\\n|42\\0\" #4"},
    };
    std::uint64_t id = 0;
    for (const auto& c : cases) {
        tsgsim::RelaySession s(context, ++id, kStart);
        EXPECT_FALSE(Ask(s, c.sent).empty()) << c.logged;
        EXPECT_TRUE(Logged(c.logged)) << c.logged << "\n" << log;
    }
    EXPECT_TRUE(Logged("RELAY answer \"+OK|1|d|301|d|302\" #1\n")) << log;
    EXPECT_EQ(context.requests, 4u);
}

TEST_F(RelaySessionTest, RequestEndsAtItsZeroByteOrItsFieldsOrSilence)
{
    // The zero byte may come in a later read; bytes after it are no request.
    tsgsim::RelaySession late(context, 1, kStart);
    EXPECT_EQ(Ask(late, "GETPROFILELIST|42"), "");
    EXPECT_EQ(Sent(late.OnData("\0trailing"s, At(50))), "+OK|1|Home|2|Office|7|Away");
    EXPECT_TRUE(Logged("RELAY request \"GETPROFILELIST|42\\0\" #1")) << log;
    EXPECT_TRUE(Logged("\"trailing\" (ignored)")) << log;

    // A login comes without zero byte: complete with its fields, at once.
    tsgsim::RelaySession login(context, 2, kStart);
    EXPECT_EQ(Ask(login, "CTILOGIN|demo|demo"), "+OK|42|7");

    // Any other request without zero byte is taken after the silence.
    tsgsim::RelaySession silent(context, 3, kStart);
    EXPECT_EQ(Ask(silent, "GETDEVICES|42"), "");
    EXPECT_EQ(silent.NextDeadline(), At(context.silenceMs));
    EXPECT_EQ(Sent(silent.OnTime(At(context.silenceMs - 1))), "");
    EXPECT_EQ(Sent(silent.OnTime(At(context.silenceMs))), "+OK|1|d|301|d|302");
    EXPECT_TRUE(Logged("RELAY request \"GETDEVICES|42\" #3")) << log;
}

TEST_F(RelaySessionTest, ClientEndingItsSideEndsOrCompletesTheRequest)
{
    struct Case {
        std::string request;  // sent before the end, without the zero byte
        std::string answer;
        std::string closeWhy;  // empty: stays open until the answer has left
    };
    const std::vector<Case> cases = {
        {"", "", "by client without a request"},
        {"GETDEVICES|42", "+OK|1|d|301|d|302", ""},
    };
    for (const auto& c : cases) {
        tsgsim::RelaySession s(context, 1, kStart);
        std::string sent = c.request.empty() ? "" : Ask(s, c.request);
        RelayActions end = s.OnPeerEnd(kStart);
        EXPECT_EQ(sent + Sent(end), c.answer) << c.request;
        auto close = CloseIn(end);
        EXPECT_EQ(close ? close->bytes : "", c.closeWhy) << c.request;
        EXPECT_EQ(s.DoneWhenSent(), c.closeWhy.empty()) << c.request;
    }
    // An answer still due is given first.
    Fault("* late 100");
    tsgsim::RelaySession owed(context, 2, kStart);
    EXPECT_EQ(Ask(owed, "GETDEVICES|42\0"s), "");
    EXPECT_FALSE(CloseIn(owed.OnPeerEnd(At(10))).has_value());
    EXPECT_FALSE(owed.DoneWhenSent());
    EXPECT_EQ(Sent(owed.OnTime(At(100))), "+OK|1|d|301|d|302");
    EXPECT_TRUE(owed.DoneWhenSent());
}

TEST_F(RelaySessionTest, FaultModesShapeTheAnswer)
{
    struct Case {
        std::string fault;
        std::string request;
        std::string atOnce;
        int laterMs;  // 0: nothing follows
        std::string later;
        RelayPhase phase;
    };
    const std::string profiles = "+OK|1|Home|2|Office|7|Away";
    const std::vector<Case> cases = {
        {"* noanswer", "GETDEVICES|42\0"s, "", 0, "", RelayPhase::Holding},
        {"CTILOGIN late 250", "CTILOGIN|demo|demo", "", 250, "+OK|42|7", RelayPhase::Answered},
        {"GETPROFILELIST split 100", "GETPROFILELIST|42\0"s, profiles.substr(0, profiles.size() / 2), 100,
         profiles.substr(profiles.size() / 2), RelayPhase::Answered},
        {"GETPROFILELIST answer +OK|1||2|Office", "GETPROFILELIST|42\0"s, "+OK|1||2|Office", 0, "",
         RelayPhase::Answered},
        {"* close", "GETDEVICES|42\0"s, "", 0, "", RelayPhase::Closed},
    };
    std::uint64_t id = 0;
    for (const auto& c : cases) {
        Fault(c.fault);
        tsgsim::RelaySession s(context, ++id, kStart);
        EXPECT_EQ(Ask(s, c.request), c.atOnce) << c.fault;
        if (c.laterMs > 0) {
            EXPECT_EQ(Sent(s.OnTime(At(c.laterMs - 1))), "") << c.fault;
            EXPECT_EQ(Sent(s.OnTime(At(c.laterMs))), c.later) << c.fault;
        }
        EXPECT_EQ(s.Phase(), c.phase) << c.fault;
        Fault("* normal");
    }
    EXPECT_TRUE(Logged("RELAY request \"GETDEVICES|42\\0\" #1")) << "noanswer reads the request";
    EXPECT_TRUE(Logged("RELAY request \"GETDEVICES|42\\0\" #5")) << "close reads the request";
    ASSERT_TRUE(last.has_value());
    EXPECT_TRUE(last->drainFirst) << "an orderly end, no reset";
}

TEST_F(RelaySessionTest, FaultGarbageIsNoProtocolAnswer)
{
    Fault("* garbage");
    for (std::uint64_t id = 1; id <= 20; ++id) {
        tsgsim::RelaySession s(context, id, kStart);
        std::string answer = Ask(s, "GETDEVICES|42\0"s);
        ASSERT_FALSE(answer.empty());
        EXPECT_NE(answer[0], '+');
        EXPECT_NE(answer[0], '-');
        EXPECT_EQ(answer.find('|'), std::string::npos);
    }
}

TEST_F(RelaySessionTest, FaultRulesPickTheRequestsTheyHit)
{
    auto answer = [&](const std::string& request) {
        tsgsim::RelaySession s(context, 1, kStart);
        return Ask(s, request);
    };
    // One-shot: only the next request.
    Fault("* close once");
    EXPECT_EQ(answer("GETDEVICES|42\0"s), "");
    EXPECT_EQ(answer("GETDEVICES|42\0"s), "+OK|1|d|301|d|302");
    EXPECT_EQ(faults.Describe(), "none");
    // A word's own setting wins over "*"; "* normal" clears all.
    Fault("* close");
    Fault("CTILOGIN normal");
    EXPECT_EQ(answer("CTILOGIN|demo|demo"), "+OK|42|7");
    EXPECT_EQ(answer("GETDEVICES|42\0"s), "");
    Fault("* normal");
    EXPECT_EQ(answer("GETDEVICES|42\0"s), "+OK|1|d|301|d|302");
    // The effect of a request stays when its answer is lost.
    Fault("FORCEPROFILE close once");
    EXPECT_EQ(answer("FORCEPROFILE|42|2\0"s), "");
    EXPECT_EQ(answer("GETACTIVEFORCEDPROFILE|42\0"s), "+OK|2");
}

} // namespace
