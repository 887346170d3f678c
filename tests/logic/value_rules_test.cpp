#include "settings/value_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

struct IntCase {
  int stored;
  int expected;
};

void ExpectIntRule(int (*rule)(int), const std::vector<IntCase>& cases, const char* name) {
  for (const auto& c : cases) {
    EXPECT_EQ(rule(c.stored), c.expected) << name << "(" << c.stored << ")";
  }
}

TEST(ValueRules, ServerPort) {
  ExpectIntRule(fon::ServerPortOnLoad,
                {{INT_MIN, 12346},
                 {-1, 12346},
                 {0, 12346},
                 {1, 1},
                 {12346, 12346},
                 {999999, 999999},
                 {1000000, 12346},
                 {1000001, 12346},
                 {INT_MAX, 12346}},
                "ServerPortOnLoad");
}

TEST(ValueRules, RelayPortKeepsOneMillion) {
  const std::vector<IntCase> cases = {
      {INT_MIN, 12345}, {-1, 12345},        {0, 12345},       {1, 1},          {12345, 12345},
      {999999, 999999}, {1000000, 1000000}, {1000001, 12345}, {INT_MAX, 12345}};
  ExpectIntRule(fon::RelayPortOnLoad, cases, "RelayPortOnLoad");
  ExpectIntRule(fon::RegPortAtRegistration, cases, "RegPortAtRegistration");
}

TEST(ValueRules, UserIdInDialog) {
  ExpectIntRule(fon::UserIdOnLoad,
                {{INT_MIN, 0},
                 {-100001, 0},
                 {-100000, -100000},
                 {0, 0},
                 {1, 1},
                 {100000, 100000},
                 {100001, 0},
                 {150000, 0},
                 {INT_MAX, 0}},
                "UserIdOnLoad");
}

TEST(ValueRules, RegisteredUserIdAtStart) {
  const struct {
    int stored;
    bool registered;
  } cases[] = {{INT_MIN, false}, {-1, false},     {0, false},       {1, true},
               {150000, true},   {1000000, true}, {1000001, false}, {INT_MAX, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(fon::IsRegisteredUserId(c.stored), c.registered) << c.stored;
  }
}

TEST(ValueRules, DisplayTimeInDialog) {
  ExpectIntRule(fon::DisplayTimeOnLoad,
                {{INT_MIN, 0}, {-1, 0}, {0, 0}, {1, 1}, {9999, 9999}, {10000, 5}, {INT_MAX, 5}},
                "DisplayTimeOnLoad");
}

TEST(ValueRules, CallPopupSeconds) {
  ExpectIntRule(fon::CallPopupSeconds,
                {{0, 5}, {1, 1}, {2, 2}, {9999, 9999}, {10000, 5}, {-1, 5}, {INT_MIN, 5}, {INT_MAX, 5}},
                "CallPopupSeconds");
}

TEST(ValueRules, InfoPopupSecondsAtLeastThree) {
  ExpectIntRule(fon::InfoPopupSeconds,
                {{0, 5}, {1, 3}, {2, 3}, {3, 3}, {4, 4}, {9999, 9999}, {10000, 5}, {-1, 5}, {INT_MIN, 5}},
                "InfoPopupSeconds");
}

TEST(ValueRules, IdleMinutesInDialog) {
  ExpectIntRule(fon::IdleMinutesOnLoad,
                {{INT_MIN, 30}, {-1, 30}, {0, 30}, {1, 1}, {1440, 1440}, {1441, 30}, {1442, 30}},
                "IdleMinutesOnLoad");
}

TEST(ValueRules, IdleMinutesAtStart) {
  ExpectIntRule(fon::IdleMinutesAtStart,
                {{INT_MIN, 30}, {-1, 30}, {0, 0}, {1440, 1440}, {1441, 1441}, {1442, 30}, {2000, 30}},
                "IdleMinutesAtStart");
}

TEST(ValueRules, Checkbox) {
  ExpectIntRule(fon::CheckboxOnLoad, {{1, 1}, {0, 0}, {2, 0}, {-1, 0}, {INT_MAX, 0}}, "CheckboxOnLoad");
}

TEST(ValueRules, LanguageIndexClamp) {
  ExpectIntRule(fon::LanguageIndexClamp,
                {{INT_MIN, 1}, {-1, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 3}, {15, 15}, {16, 1}, {INT_MAX, 1}},
                "LanguageIndexClamp");
}

TEST(ValueRules, StringLengthLimits) {
  const struct {
    std::string (*rule)(std::string);
    std::size_t limit;
    std::string fallback;
    const char* name;
  } rules[] = {
      {fon::ServerAddressOnLoad, 30, "", "ServerAddressOnLoad"},
      {fon::ProfileNameOnLoad, 40, "", "ProfileNameOnLoad"},
      {fon::LanguageOnLoad, 30, "Deutsch", "LanguageOnLoad"},
  };
  for (const auto& r : rules) {
    const std::string atLimit(r.limit, 'x');
    const std::string overLimit(r.limit + 1, 'x');
    EXPECT_EQ(r.rule(atLimit), atLimit) << r.name;
    EXPECT_EQ(r.rule(overLimit), r.fallback) << r.name;
    EXPECT_EQ(r.rule("a"), "a") << r.name;
  }
  EXPECT_EQ(fon::ServerAddressOnLoad(""), "");
  EXPECT_EQ(fon::ProfileNameOnLoad(""), "");
  EXPECT_EQ(fon::LanguageOnLoad(""), "Deutsch");
  EXPECT_EQ(fon::LanguageOnLoad("English"), "English");
}

TEST(ValueRules, Website) {
  const std::string fifty(50, 'w');
  const std::string address31(31, '1');
  const struct {
    std::string site;
    std::string address;
    std::string expected;
  } cases[] = {
      {"", "", "http:///tpm"},
      {"", "10.0.0.1", "http://10.0.0.1/tpm"},
      {"http://crm.local", "10.0.0.1", "http://crm.local"},
      {fifty, "10.0.0.1", fifty},
      {fifty + "w", "10.0.0.1", "http://10.0.0.1/tpm"},
      // The default is built from the address as read, before the address
      // itself is dropped for being too long.
      {"", address31, "http://" + address31 + "/tpm"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::WebsiteOnLoad(c.site, c.address), c.expected) << c.site << " / " << c.address;
  }
}

TEST(ValueRules, Hotkeys) {
  const fon::Hotkey f8{0, 119};
  const struct {
    uint16_t mod;
    uint16_t vk;
    fon::Hotkey atStart;
    fon::Hotkey inDialog;
  } cases[] = {
      {0, 119, {0, 119}, {0, 119}},
      {2, 65, {2, 65}, {2, 65}},
      {100, 10000, {100, 10000}, {100, 10000}},
      {101, 65, {101, 65}, f8},
      {10000, 10000, {10000, 10000}, f8},
      {10001, 65, f8, f8},
      {0, 10001, f8, f8},
      {3, 10001, f8, f8},
      {65535, 65535, f8, f8},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::HotkeyAtStart(c.mod, c.vk), c.atStart) << c.mod << "/" << c.vk;
    EXPECT_EQ(fon::HotkeyInDialog(c.mod, c.vk), c.inDialog) << c.mod << "/" << c.vk;
  }
}

}  // namespace
