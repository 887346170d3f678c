// The three list answers, parsed on their own.
#include <gtest/gtest.h>

#include "profiles/list_parsers.h"

namespace fon {
namespace {

// Tail to head: the server's order.
std::string Walk(const CIdStringList& list) {
  std::string out;
  list.ForEachFromTail([&](const IdStringEntry& e) { out += std::to_string(e.nId) + ":" + e.strText + " "; });
  return out;
}

std::string Repeat(const std::string& part, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += part;
  return out;
}

TEST(ProfileListsTest, ProfilesDevicesAndTheForcedProfile) {
  const std::string longName(1000, 'n');
  struct Case {
    std::string rest;
    std::string profiles;
    std::string devices;
    std::optional<int> mode;
  } cases[] = {
      {"", "", "", std::nullopt},
      {"1|Home|2|Office|", "1:Home 2:Office ", "0:2 ", 1},
      {"1|Home|2|Office", "1:Home 2:Office ", "0:2 ", 1},
      {"1|Home|2", "1:Home ", "0:2 ", 1},
      {"1||2|Office", "", "0:2 ", 1},
      {"1|d1|301|d2|302", "1:d1 301:d2 ", "0:301 0:302 ", 1},
      {"0|d1|301|d2", "0:d1 301:d2 ", "0:301 ", 0},
      {"1", "", "", std::nullopt},
      {"x|Caf\xE9|-7|a b", "0:Caf\xE9 -7:a b ", "0:-7 ", 0},
      {"99999999999|Big", "2147483647:Big ", "", 2147483647},
      {"3|" + longName, "3:" + longName + " ", "", 3},
      {"|||", "", "", 0},
  };
  for (const Case& c : cases) {
    CIdStringList profiles;
    CIdStringList devices;
    ParseProfileList(c.rest, profiles);
    EXPECT_EQ(Walk(profiles), c.profiles) << c.rest;
    EXPECT_EQ(ParseDeviceList(c.rest, devices), c.mode) << c.rest;
    EXPECT_EQ(Walk(devices), c.devices) << c.rest;
  }

  CIdStringList many;
  ParseProfileList(Repeat("7|P|", 1000), many);
  EXPECT_EQ(many.GetCount(), 1000);

  struct Forced {
    const char* answer;
    const char* profile;
  } forced[] = {{"+OK", ""}, {"+OK|2", "2"}, {"+OK|", ""}, {"+OK|+OK", ""}, {"+OK|2|x", "2|x"}};
  for (const Forced& f : forced) EXPECT_EQ(ParseActiveForcedProfile(f.answer), f.profile) << f.answer;
}

}  // namespace
}  // namespace fon
