// Tests of the simulator's building blocks without sockets: escapes, the
// users file, the relay answers and the fault table.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_harness.h"
#include "tsg-sim/faults.h"
#include "tsg-sim/relay_logic.h"
#include "tsg-sim/text.h"
#include "tsg-sim/users.h"

using namespace std::string_literals;

namespace {

// ---------------------------------------------------------------- escapes

struct UnescapeCase {
    std::string input;
    std::string expected;
};

TEST(TsgSimText, UnescapeTurnsEscapesIntoRawBytes)
{
    const std::vector<UnescapeCase> cases = {
        {"X|1|Anna|030|0302222|42|\\n", "X|1|Anna|030|0302222|42|\n"},
        {"a\\r\\nb", "a\r\nb"},
        {"tab\\there", "tab\there"},
        {"back\\\\slash", "back\\slash"},
        {"zero\\0byte", "zero\0byte"s},
        {"\\x41\\x7a\\xFC\\xfc", "Az\xFC\xFC"},
        {"\\x00\\x00", "\0\0"s},
        {"quote\\\"", "quote\""},
        {"plain text", "plain text"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string err;
        auto out = tsgsim::Unescape(c.input, &err);
        ASSERT_TRUE(out.has_value()) << c.input << ": " << err;
        EXPECT_EQ(*out, c.expected) << c.input;
    }
}

TEST(TsgSimText, UnescapeRejectsBrokenEscapes)
{
    for (const std::string input : {"abc\\", "\\q", "\\x4", "\\xZZ", "\\x", "ok\\x4g"}) {
        std::string err;
        EXPECT_FALSE(tsgsim::Unescape(input, &err).has_value()) << input;
        EXPECT_FALSE(err.empty()) << input;
    }
}

TEST(TsgSimText, EscapeShowsEveryByteUnambiguously)
{
    EXPECT_EQ(tsgsim::EscapeBytes("GETDEVICES|42\0"s), "GETDEVICES|42\\0");
    EXPECT_EQ(tsgsim::EscapeBytes("a\"b\\c\n\r\t\x01\x7F\xFF"), "a\\\"b\\\\c\\n\\r\\t\\x01\\x7F\\xFF");
    EXPECT_EQ(tsgsim::EscapeBytes("abcdef", 3), "abc");

    // Every byte value survives the way into the log and back.
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    std::string err;
    auto back = tsgsim::Unescape(tsgsim::EscapeBytes(all), &err);
    ASSERT_TRUE(back.has_value()) << err;
    EXPECT_EQ(*back, all);
}

TEST(TsgSimText, ParseIntIsStrict)
{
    EXPECT_EQ(tsgsim::ParseInt("42", 0, 100), 42);
    EXPECT_EQ(tsgsim::ParseInt("0", 0, 100), 0);
    EXPECT_EQ(tsgsim::ParseInt("-3", -5, 5), -3);
    for (const char* bad : {"", "4x", " 4", "x", "101", "-1", "99999999999999999999999"}) {
        EXPECT_FALSE(tsgsim::ParseInt(bad, 0, 100).has_value()) << bad;
    }
}

// ---------------------------------------------------------------- users file

TEST(TsgSimUsers, ExampleFileHasTheDemoUser)
{
    std::string err;
    auto db = tsgsim::UserDb::Load(tsgsim_test::ExampleUsersPath(), &err);
    ASSERT_TRUE(db.has_value()) << err;
    const tsgsim::User* demo = db->FindByName("demo");
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->password, "demo");
    EXPECT_EQ(demo->id, 42);
    EXPECT_EQ(demo->parentId, 7);
    ASSERT_EQ(demo->profiles.size(), 3u);
    EXPECT_EQ(demo->profiles[0].id, 1);
    EXPECT_EQ(demo->profiles[0].name, "Home");
    EXPECT_EQ(demo->profiles[1].id, 2);
    EXPECT_EQ(demo->profiles[1].name, "Office");
    EXPECT_EQ(demo->profiles[2].id, 7);
    EXPECT_EQ(demo->profiles[2].name, "Away");
    ASSERT_EQ(demo->devices.size(), 2u);
    EXPECT_EQ(demo->devices[0].number, "301");
    EXPECT_EQ(demo->devices[1].number, "302");
    EXPECT_FALSE(demo->forced.has_value());
}

TEST(TsgSimUsers, ParsesEveryLineKind)
{
    const std::string text = "# comment\r\n"
                             "\n"
                             "   user anna s3cret 5 0\r\n"
                             "profile 5 3 Out of   office  \n"
                             "profile 5 4 B\\xFCro\n"
                             "device 5 777\n"
                             "device 5 mobile 0171\n"
                             "devicemode 5 0\n"
                             "forced 5 99\n"
                             "user bob pw 6 5\n"
                             "forced 6 none";
    std::string err;
    auto db = tsgsim::UserDb::Parse(text, &err);
    ASSERT_TRUE(db.has_value()) << err;
    ASSERT_EQ(db->Users().size(), 2u);
    const tsgsim::User* anna = db->FindById(5);
    ASSERT_NE(anna, nullptr);
    EXPECT_EQ(anna->name, "anna");
    EXPECT_EQ(anna->password, "s3cret");
    EXPECT_EQ(anna->parentId, 0);
    ASSERT_EQ(anna->profiles.size(), 2u);
    EXPECT_EQ(anna->profiles[0].name, "Out of   office");
    EXPECT_EQ(anna->profiles[1].name, "B\xFCro");
    ASSERT_EQ(anna->devices.size(), 2u);
    EXPECT_EQ(anna->devices[0].field, "d");
    EXPECT_EQ(anna->devices[0].number, "777");
    EXPECT_EQ(anna->devices[1].field, "mobile");
    EXPECT_EQ(anna->devices[1].number, "0171");
    EXPECT_EQ(anna->deviceMode, 0);
    // A forced profile outside the list is allowed on purpose.
    EXPECT_EQ(anna->forced, 99);
    const tsgsim::User* bob = db->FindByName("bob");
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(bob->parentId, 5);
    EXPECT_EQ(bob->deviceMode, 1);
    EXPECT_FALSE(bob->forced.has_value());
}

struct BadFileCase {
    std::string text;
    std::string expectedInError;
};

TEST(TsgSimUsers, RejectsBrokenFilesWithTheLineNumber)
{
    const std::string demo = "user demo demo 42 7\n";
    const std::vector<BadFileCase> cases = {
        {"bogus 1 2\n", "line 1: unknown keyword"},
        {"user demo demo 42\n", "line 1: expected: user"},
        {"user demo demo 0 7\n", "line 1: bad user id"},
        {"user demo demo x 7\n", "line 1: bad user id"},
        {"user demo demo 42 -1\n", "line 1: bad parent id"},
        {"user demo demo 3000000000 7\n", "line 1: bad user id"},
        {demo + "user other pw 42 0\n", "line 2: duplicate user id 42"},
        {demo + "user demo pw 43 0\n", "line 2: duplicate user name"},
        {demo + "profile 43 1 Home\n", "line 2: user id 43 has no user line above"},
        {demo + "profile 42 x Home\n", "line 2: bad profile id"},
        {demo + "profile 42 1\n", "line 2: expected: profile"},
        {demo + "profile 42 1 Home\n# c\nprofile 42 1 Again\n", "line 4: duplicate profile id 1"},
        {demo + "profile 42 1 Ho|me\n", "line 2: profile name must not contain '|'"},
        {demo + "profile 42 1 Ho\\x00me\n", "line 2: profile name must not contain"},
        {demo + "profile 42 1 Bad\\q\n", "line 2: profile name: unknown escape"},
        {demo + "device 42\n", "line 2: expected: device"},
        {demo + "device 42 a b c\n", "line 2: expected: device"},
        {demo + "device 42 3|01\n", "line 2: device must not contain '|'"},
        {demo + "devicemode 42 x\n", "line 2: bad device mode"},
        {demo + "forced 42 x\n", "line 2: bad profile id"},
        {"user de|mo demo 42 7\n", "line 1: name must not contain '|'"},
    };
    for (const auto& c : cases) {
        std::string err;
        EXPECT_FALSE(tsgsim::UserDb::Parse(c.text, &err).has_value()) << c.text;
        EXPECT_NE(err.find(c.expectedInError), std::string::npos) << c.text << " gave: " << err;
    }
}

TEST(TsgSimUsers, LoadReportsMissingFile)
{
    std::string err;
    EXPECT_FALSE(tsgsim::UserDb::Load("/nonexistent/users.txt", &err).has_value());
    EXPECT_NE(err.find("/nonexistent/users.txt"), std::string::npos);
    tsgsim_test::TempDir dir;
    EXPECT_FALSE(tsgsim::UserDb::Load(dir.Path(), &err).has_value()) << "a directory is not a users file";
}

// ---------------------------------------------------------------- relay answers

struct Exchange {
    std::string request;  // without the terminating zero byte
    std::string answer;
};

tsgsim::UserDb TestUsers()
{
    std::string err;
    auto db = tsgsim::UserDb::Parse("user demo demo 42 7\n"
                                    "profile 42 1 Home\n"
                                    "profile 42 2 Office\n"
                                    "device 42 d 301\n"
                                    "device 42 x 302\n"
                                    "user lonely pw 9 0\n"
                                    "devicemode 9 0\n"
                                    "forced 9 5\n",
                                    &err);
    return db.value_or(tsgsim::UserDb());
}

TEST(TsgSimRelay, AnswersEachCommandAndKeepsTheForcedProfile)
{
    tsgsim::UserDb db = TestUsers();
    ASSERT_EQ(db.Users().size(), 2u);
    // Run in order: the forced-profile requests depend on the ones before.
    const std::vector<Exchange> script = {
        {"CTILOGIN|demo|demo", "+OK|42|7"},
        {"CTILOGIN|lonely|pw", "+OK|9|0"},
        {"CTILOGIN|demo|Demo", "-ERR|wrong password"},
        {"CTILOGIN|demo|", "-ERR|wrong password"},
        {"CTILOGIN|nobody|demo", "-ERR|unknown user"},
        {"CTILOGIN|demo", "-ERR|bad request"},
        {"CTILOGIN", "-ERR|bad request"},
        {"GETDEVICES|42", "+OK|1|d|301|x|302"},
        {"GETDEVICES|9", "+OK|0"},
        {"GETDEVICES|43", "-ERR|unknown user"},
        {"GETDEVICES|abc", "-ERR|unknown user"},
        {"GETDEVICES", "-ERR|bad request"},
        {"GETDEVICES|42|1", "-ERR|bad request"},
        {"GETPROFILELIST|42", "+OK|1|Home|2|Office"},
        {"GETPROFILELIST|9", "+OK"},
        {"GETPROFILELIST|1", "-ERR|unknown user"},
        {"GETACTIVEFORCEDPROFILE|42", "+OK"},
        {"GETACTIVEFORCEDPROFILE|9", "+OK|5"},
        {"FORCEPROFILE|42|2", "+OK"},
        {"GETACTIVEFORCEDPROFILE|42", "+OK|2"},
        {"FORCEPROFILE|42|3", "-ERR|unknown profile"},
        {"FORCEPROFILE|42|x", "-ERR|unknown profile"},
        {"GETACTIVEFORCEDPROFILE|42", "+OK|2"},
        {"FORCEPROFILE|44|1", "-ERR|unknown user"},
        {"FORCEPROFILE|42", "-ERR|bad request"},
        {"CLEARFORCEDPROFILE|42", "+OK"},
        {"GETACTIVEFORCEDPROFILE|42", "+OK"},
        {"FORCEPROFILE|42|1", "+OK"},
        {"CLEARFORCEDPROFILE|42|", "+OK"},
        {"GETACTIVEFORCEDPROFILE|42", "+OK"},
        {"CLEARFORCEDPROFILE|77", "-ERR|unknown user"},
        {"QUICKCALL|301|812|42", "+OK"},
        {"QUICKCALL|301|812|41", "-ERR|unknown user"},
        {"QUICKCALL|301|42", "-ERR|bad request"},
        {"getdevices|42", "-ERR|unknown command"},
        {"", "-ERR|unknown command"},
        {"HELLO", "-ERR|unknown command"},
    };
    for (const auto& step : script) {
        EXPECT_EQ(tsgsim::AnswerRelayRequest(db, step.request).answer, step.answer) << step.request;
    }
}

TEST(TsgSimRelay, NotesWhatHappened)
{
    tsgsim::UserDb db = TestUsers();
    auto call = tsgsim::AnswerRelayRequest(db, "QUICKCALL|301|0301234|42");
    EXPECT_NE(call.note.find("caller \"301\""), std::string::npos) << call.note;
    EXPECT_NE(call.note.find("called \"0301234\""), std::string::npos) << call.note;
    EXPECT_NE(tsgsim::AnswerRelayRequest(db, "FORCEPROFILE|42|2").note.find("profile 2 forced"), std::string::npos);
    EXPECT_TRUE(tsgsim::AnswerRelayRequest(db, "GETDEVICES|42").note.empty());
}

TEST(TsgSimRelay, CommandWordIsTextBeforeFirstBar)
{
    EXPECT_EQ(tsgsim::CommandWord("GETDEVICES|42"), "GETDEVICES");
    EXPECT_EQ(tsgsim::CommandWord("QUIT"), "QUIT");
    EXPECT_EQ(tsgsim::CommandWord("|x"), "");
}

// ---------------------------------------------------------------- faults

std::optional<tsgsim::FaultRule> Rule(const std::string& words)
{
    std::string err;
    return tsgsim::ParseFaultRule(tsgsim::SplitWords(words), &err);
}

TEST(TsgSimFaults, ParsesModesAndArguments)
{
    struct Case {
        std::string words;
        std::string word;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"GETDEVICES noanswer", "GETDEVICES", "noanswer"},
        {"* late 2000", "*", "late:2000"},
        {"* late 0 once", "*", "late:0:once"},
        {"CTILOGIN split", "CTILOGIN", "split:50"},
        {"CTILOGIN split 120 once", "CTILOGIN", "split:120:once"},
        {"* close once", "*", "close:once"},
        {"* garbage", "*", "garbage"},
        {"* noread", "*", "noread"},
        {"GETPROFILELIST big 70000", "GETPROFILELIST", "big:70000"},
        {"GETPROFILELIST answer +OK|1||2|Office once", "GETPROFILELIST", "answer:\"+OK|1||2|Office\":once"},
        {"X answer \\x00+OK\\x20y", "X", "answer:\"\\0+OK y\""},
        {"* normal", "*", "normal"},
    };
    for (const auto& c : cases) {
        auto rule = Rule(c.words);
        ASSERT_TRUE(rule.has_value()) << c.words;
        EXPECT_EQ(rule->word, c.word) << c.words;
        EXPECT_EQ(tsgsim::DescribeFault(rule->fault), c.description) << c.words;
    }
}

TEST(TsgSimFaults, RejectsBadRules)
{
    for (const std::string words : {"", "GETDEVICES", "GETDEVICES sometimes", "* late", "* late x", "* late -5",
                                    "* late 1 2", "* big", "* big 999999999999", "* noanswer 5",
                                    "GETDEVICES noread", "* answer", "* answer bad\\q", "* normal once"}) {
        EXPECT_FALSE(Rule(words).has_value()) << words;
    }
}

TEST(TsgSimFaults, TableAppliesWordBeforeStarAndUsesUpOneShots)
{
    tsgsim::FaultTable table;
    EXPECT_EQ(table.TakeForRequest("GETDEVICES").mode, tsgsim::FaultMode::Normal);

    table.Set(*Rule("* garbage"));
    table.Set(*Rule("CTILOGIN normal"));
    table.Set(*Rule("GETDEVICES close once"));
    EXPECT_EQ(table.TakeForRequest("CTILOGIN").mode, tsgsim::FaultMode::Normal);
    EXPECT_EQ(table.TakeForRequest("GETDEVICES").mode, tsgsim::FaultMode::Close);
    EXPECT_EQ(table.TakeForRequest("GETDEVICES").mode, tsgsim::FaultMode::Garbage) << "one-shot used up";
    EXPECT_EQ(table.TakeForRequest("QUICKCALL").mode, tsgsim::FaultMode::Garbage);
    EXPECT_EQ(table.TakeForRequest("QUICKCALL").mode, tsgsim::FaultMode::Garbage) << "permanent stays";
    EXPECT_EQ(table.Describe(), "*=garbage;CTILOGIN=normal");

    table.Set(*Rule("* normal"));
    EXPECT_EQ(table.Describe(), "none");
    EXPECT_EQ(table.TakeForRequest("QUICKCALL").mode, tsgsim::FaultMode::Normal);
}

TEST(TsgSimFaults, NoReadIsDecidedAtAccept)
{
    tsgsim::FaultTable table;
    EXPECT_FALSE(table.TakeNoRead());
    table.Set(*Rule("* noread once"));
    // A request that somehow got read is answered normally.
    EXPECT_EQ(table.TakeForRequest("GETDEVICES").mode, tsgsim::FaultMode::Normal);
    EXPECT_TRUE(table.TakeNoRead());
    EXPECT_FALSE(table.TakeNoRead());
    table.Set(*Rule("* noread"));
    EXPECT_TRUE(table.TakeNoRead());
    EXPECT_TRUE(table.TakeNoRead());
}

} // namespace
