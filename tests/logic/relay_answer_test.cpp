#include "net/relay_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SplitRelayAnswer, Answers) {
  const struct {
    std::string answer;
    std::string status;
    std::string rest;
    bool ok;
  } cases[] = {
      {"+OK", "+OK", "+OK", true},
      {"+OK|", "+OK", "", true},
      {"+OK|1|Home|2|Office|", "+OK", "1|Home|2|Office|", true},
      {"+OK|2", "+OK", "2", true},
      {"+ERR|unknown user", "+ERR", "unknown user", false},
      {"+ERR", "+ERR", "+ERR", false},
      {"+OKAY|x", "+OKAY", "x", false},
      {"+ok|x", "+ok", "x", false},
      {" +OK|x", " +OK", "x", false},
      {"+OK\n", "+OK\n", "+OK\n", false},
      {"|abc", "", "abc", false},
      {"", "", "", false},
  };
  for (const auto& c : cases) {
    const fon::RelayStatus r = fon::SplitRelayAnswer(c.answer);
    EXPECT_EQ(r.status, c.status) << c.answer;
    EXPECT_EQ(r.rest, c.rest) << c.answer;
    EXPECT_EQ(r.ok, c.ok) << c.answer;
  }
}

}  // namespace
