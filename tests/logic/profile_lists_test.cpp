// The three list answers, parsed on their own, with what a server should not
// send (the examples of the answers as such go through the frame in
// tests/shell/lists_test.cpp).
#include <gtest/gtest.h>

#include "profiles/list_parsers.h"

namespace fon {
namespace {

std::string Walk(const CIdStringList& list) {
  std::string out;
  list.ForEachFromTail([&](const IdStringEntry& e) { out += std::to_string(e.nId) + ":" + e.strText + " "; });
  return out;
}

TEST(ProfileListsTest, OddAnswers) {
  const std::string longName(1000, 'n');
  struct Case {
    std::string rest;
    std::string profiles;
    std::string devices;
    std::optional<int> mode;
  } cases[] = {
      {"", "", "", std::nullopt},
      {"1||2|Office", "", "0:2 ", 1},
      {"x|Caf\xE9|-7|a b", "0:Caf\xE9 -7:a b ", "0:-7 ", 0},
      {"99999999999|Big", "2147483647:Big ", "", 2147483647},
      {"3|" + longName, "3:" + longName + " ", "", 3},
      {"|||", "", "", 0},
  };
  for (const Case& c : cases) {
    CIdStringList profiles, devices;
    ParseProfileList(c.rest, profiles);
    EXPECT_EQ(Walk(profiles), c.profiles) << c.rest;
    EXPECT_EQ(ParseDeviceList(c.rest, devices), c.mode) << c.rest;
    EXPECT_EQ(Walk(devices), c.devices) << c.rest;
  }
  std::string thousand;
  for (int i = 0; i < 1000; ++i) thousand += "7|P|";
  CIdStringList many;
  ParseProfileList(thousand, many);
  EXPECT_EQ(many.GetCount(), 1000);

  for (auto [answer, profile] : {std::pair{"+OK", ""}, {"+OK|2", "2"}, {"+OK|", ""}, {"+OK|2|x", "2|x"}})
    EXPECT_EQ(ParseActiveForcedProfile(answer), profile) << answer;
}

}  // namespace
}  // namespace fon
