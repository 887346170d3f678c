#include "calls/cti_message.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct Expected {
  std::string callId, callerName, callerNo, calledNo, calledUserId, redirInfo;
  int messageUserId;
  bool isErr;
};

void ExpectFields(const std::string& message, const Expected& e) {
  SCOPED_TRACE(::testing::Message() << "message \"" << message << "\"");
  const fon::CtiFields f = fon::ParseCtiMessage(message);
  EXPECT_EQ(f.callId, e.callId);
  EXPECT_EQ(f.callerName, e.callerName);
  EXPECT_EQ(f.callerNo, e.callerNo);
  EXPECT_EQ(f.calledNo, e.calledNo);
  EXPECT_EQ(f.calledUserId, e.calledUserId);
  EXPECT_EQ(f.redirInfo, e.redirInfo);
  EXPECT_EQ(f.messageUserId, e.messageUserId);
  EXPECT_EQ(f.isErr, e.isErr);
}

TEST(ParseCtiMessage, WellFormedMessages) {
  const struct {
    std::string message;
    Expected fields;
  } cases[] = {
      // Nothing follows the sixth separator: no redirection.
      {"X|17|Anna|0301234|0302222|5|\n", {"17", "Anna", "0301234", "0302222", "5", "", 5, false}},
      // Without the final bar CALLEDUSERID is not closed and is empty.
      {"X|17|Anna|0301234|0302222|5\n", {"17", "Anna", "0301234", "0302222", "", "", 0, false}},
      {"X|17|Anna|0301234|0302222|5|Hotline\n",
       {"17", "Anna", "0301234", "0302222", "5", "Hotline", 5, false}},
      {"X|17|Anna|0301234|0302222|5|Hotline|ignored|\n",
       {"17", "Anna", "0301234", "0302222", "5", "Hotline", 5, false}},
      // A redirection to the called number itself is dropped.
      {"X|17|Anna|0301234|0302222|5|0302222\n", {"17", "Anna", "0301234", "0302222", "5", "", 5, false}},
      {"X|17|Anna|0301234|0302222|5|0302222|x\n", {"17", "Anna", "0301234", "0302222", "5", "", 5, false}},
      // Empty fields stay empty (the caller substitutes "unknown").
      {"X|||||5|\n", {"", "", "", "", "5", "", 5, false}},
      // Any terminator character is dropped, not only a newline.
      {"X|17|Anna|0301234|0302222|5|;", {"17", "Anna", "0301234", "0302222", "5", "", 5, false}},
      // A CR LF ending leaves the CR behind as the redirection.
      {"X|17|Anna|0301234|0302222|5|\r\n", {"17", "Anna", "0301234", "0302222", "5", "\r", 5, false}},
  };
  for (const auto& c : cases) {
    ExpectFields(c.message, c.fields);
  }
}

TEST(ParseCtiMessage, ErrorMessagesStopAfterCalledNo) {
  const struct {
    std::string message;
    Expected fields;
  } cases[] = {
      {"X|17|Anna|0301234|+ERR|5|Hotline\n", {"17", "Anna", "0301234", "+ERR", "", "", 0, true}},
      {"X|17|Anna|0301234|+ERR\n", {"17", "Anna", "0301234", "+ERR", "", "", 0, true}},
      // No separators at all: CALLEDNO is the whole text.
      {"+ERR\n", {"", "", "", "+ERR", "", "", 0, true}},
      // The check is exact and case-sensitive...
      {"X|17|Anna|0301234|+err|5|\n", {"17", "Anna", "0301234", "+err", "5", "", 5, false}},
      {"X|17|Anna|0301234|+ERROR|5|\n", {"17", "Anna", "0301234", "+ERROR", "5", "", 5, false}},
      // ...and made after the terminator is dropped.
      {"+ERR", {"", "", "", "+ER", "", "", 0, false}},
  };
  for (const auto& c : cases) {
    ExpectFields(c.message, c.fields);
  }
}

TEST(ParseCtiMessage, FewSeparatorsGiveEmptyOrShiftedFields) {
  // A failed search restarts the following one at the start of the text.
  const struct {
    std::string message;
    Expected fields;
  } cases[] = {
      {"", {"", "", "", "", "", "", 0, false}},
      {"\n", {"", "", "", "", "", "", 0, false}},
      {"bye\n", {"", "", "", "bye", "", "", 0, false}},
      {"|\n", {"", "", "", "", "", "", 0, false}},
      // s3 fails: CALLERNO restarts at 0, CALLEDNO and CALLEDUSERID follow.
      {"X|17|Anna\n", {"17", "", "X", "17", "", "", 0, false}},
      // s5 fails: CALLEDUSERID restarts at 0 and s6 finds the first bar, so
      // CALLID reappears as the redirection.
      {"X|1|N|2|3\n", {"1", "N", "2", "3", "X", "1", 0, false}},
      {"X|1|N|2|3|5\n", {"1", "N", "2", "3", "", "", 0, false}},
      {"a|b|c|d|e|f|g|h\n", {"b", "c", "d", "e", "f", "g", 0, false}},
  };
  for (const auto& c : cases) {
    ExpectFields(c.message, c.fields);
  }
}

TEST(ParseCtiMessage, UserIdReadLikeAtoi) {
  const struct {
    std::string userIdField;
    int expected;
  } cases[] = {
      {"5", 5},
      {"0005", 5},
      {" \t-42", -42},
      {"+7", 7},
      {"12abc", 12},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"1000000", 1000000},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      // The Windows runtime saturates out-of-range values.
      {"2147483648", INT_MAX},
      {"99999999999999999999", INT_MAX},
      {"-99999999999", INT_MIN},
      {"\xB9"
       "5",
       0},
  };
  for (const auto& c : cases) {
    const fon::CtiFields f = fon::ParseCtiMessage("X|1|N|2|3|" + c.userIdField + "|\n");
    EXPECT_EQ(f.calledUserId, c.userIdField);
    EXPECT_EQ(f.messageUserId, c.expected) << c.userIdField;
  }
}

TEST(ParseCtiMessage, FullSizeMessage) {
  const std::string head = "X|17|Anna|0301234|0302222|5|";
  const std::string redir(4095 - head.size() - 1, 'R');
  const std::string message = head + redir + "\n";
  ASSERT_EQ(message.size(), 4095u);

  const fon::CtiFields f = fon::ParseCtiMessage(message);
  EXPECT_EQ(f.redirInfo, redir);
  EXPECT_EQ(f.messageUserId, 5);
  EXPECT_EQ(f.calledNo, "0302222");
}

TEST(ParseCtiMessage, EveryByteValueIsCarriedThrough) {
  std::string name;
  for (int b = 0; b < 256; ++b) {
    if (b != '|') {
      name += static_cast<char>(b);
    }
  }
  const fon::CtiFields f = fon::ParseCtiMessage("X|17|" + name + "|0301234|0302222|5|" + name + "\n");
  EXPECT_EQ(f.callerName, name);
  EXPECT_EQ(f.redirInfo, name);
  EXPECT_EQ(f.messageUserId, 5);

  // Every byte works as a terminator, and as a whole one-byte message.
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const fon::CtiFields ok = fon::ParseCtiMessage(std::string("X|17|Anna|0301234|0302222|5|") + c);
    EXPECT_EQ(ok.messageUserId, 5) << b;
    EXPECT_EQ(ok.redirInfo, "") << b;
    const fon::CtiFields one = fon::ParseCtiMessage(std::string(1, c));
    EXPECT_EQ(one.calledNo, "") << b;
    EXPECT_EQ(one.messageUserId, 0) << b;
  }
}

TEST(ReceiveTimeOfDay, CtimeTexts) {
  const struct {
    std::string ctimeText;
    std::string expected;
  } cases[] = {
      {"Tue Dec  8 07:05:03 2026\n", " 07:05:03 "},
      {"Thu Dec 17 23:59:59 2026\n", " 23:59:59 "},
      {"Mon Jan  1 00:00:00 2024\n", " 00:00:00 "},
      {"Wed Feb 28 12:34:56 1999\n", " 12:34:56 "},
      // The C runtime under Wine pads the day with "0".
      {"Wed Dec 09 01:02:03 2026\n", " 01:02:03 "},
      // Malformed texts never read outside the text.
      {"", ""},
      {"\n", ""},
      {"2026\n", ""},
      {"ab 1:x\n", ""},
      {"no time at all\n", ""},
      {"07:05:03 2026\n", "07:05:03 "},
      {" 07:05:03 2026\n", " 07:05:03 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::ReceiveTimeOfDay(c.ctimeText), c.expected) << '"' << c.ctimeText << '"';
  }
}

}  // namespace
