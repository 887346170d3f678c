// The settings store's results, as every reader relies on them.
#include <gtest/gtest.h>

#include <variant>

#include "platform/sim/sim_platform.h"
#include "settings/settings_store.h"
#include "settings/texts.h"

namespace fon {
namespace {

class StoreTest : public ::testing::Test {
 protected:
  sim::SimPlatform sim;
  SettingsStore store{sim.registry};
};

TEST_F(StoreTest, CreateKeyMakesTheKeyOnceAndFailsWhereTheUserMayNotWrite) {
  EXPECT_FALSE(sim.registry.HasKey(kMainKey));
  EXPECT_EQ(store.CreateRegKey(kMainKey), 0);
  EXPECT_EQ(store.CreateRegKey(kMainKey), 0);
  EXPECT_TRUE(sim.registry.HasKey(kMainKey));
  sim.registry.DenyAccess(kColorsKey);
  EXPECT_EQ(store.CreateRegKey(kColorsKey), -1);
}

TEST_F(StoreTest, StringReadsAcceptOnlyTerminatedTextsThatFitTheBuffer) {
  store.CreateRegKey(kMainKey);
  std::string out = "previous";
  // Missing value: failure, the buffer keeps what it held.
  EXPECT_EQ(store.QueryRegString(kMainKey, "Website", &out), -1);
  EXPECT_EQ(out, "previous");

  // 1023 characters and the zero byte fill the 1024-byte buffer exactly.
  std::string longest(1023, 'a');
  sim.registry.SetString(kMainKey, "CRM HTML Request", longest);
  EXPECT_EQ(store.QueryRegString(kMainKey, "CRM HTML Request", &out), 0);
  EXPECT_EQ(out, longest);
  sim.registry.SetString(kMainKey, "CRM HTML Request", longest + "b");
  out = "kept";
  EXPECT_EQ(store.QueryRegString(kMainKey, "CRM HTML Request", &out), -1);
  EXPECT_EQ(out, "kept");

  // A number is no text; a text without its terminator (here: none at all,
  // as Windows adds a missing one to any other) is not taken.
  sim.registry.SetDword(kMainKey, "Language", 1);
  EXPECT_EQ(store.QueryRegString(kMainKey, "Language", &out), -1);
  sim.registry.SetValue(kMainKey, "Language", kRegSz, "");
  EXPECT_EQ(store.QueryRegString(kMainKey, "Language", &out), -1);
  EXPECT_EQ(out, "kept");
  // REG_EXPAND_SZ counts as text; the text ends at its first zero byte.
  sim.registry.SetValue(kMainKey, "Language", kRegExpandSz, std::string("Engl\0ish\0", 9));
  EXPECT_EQ(store.QueryRegString(kMainKey, "Language", &out), 0);
  EXPECT_EQ(out, "Engl");

  // A key that cannot be opened empties the buffer.
  EXPECT_EQ(store.QueryRegString(kDialOutKey, "Item1", &out), -1);
  EXPECT_EQ(out, "");
}

TEST_F(StoreTest, NumberReadsReportWhyTheyFailed) {
  std::int32_t value = 77;
  EXPECT_EQ(store.QueryRegDword(kMainKey, "User ID", &value), -1);  // no key
  EXPECT_EQ(value, 0);

  store.CreateRegKey(kMainKey);
  value = 77;
  EXPECT_EQ(store.QueryRegDword(kMainKey, "User ID", &value), 2);  // missing value
  EXPECT_EQ(value, 77);
  sim.registry.SetString(kMainKey, "User ID", "42");
  EXPECT_EQ(store.QueryRegDword(kMainKey, "User ID", &value), 13);  // wrong type
  EXPECT_EQ(value, 77);
  sim.registry.SetDword(kMainKey, "User ID", -5);
  EXPECT_EQ(store.QueryRegDword(kMainKey, "User ID", &value), 0);
  EXPECT_EQ(value, -5);

  // Sixteen-bit reads deliver the low half of the stored number.
  sim.registry.SetDword(kMainKey, "Hotkey - Virtual Key", 0x12345);
  std::uint16_t word = 9;
  EXPECT_EQ(store.QueryRegWord(kMainKey, "Hotkey - Virtual Key", &word), 0);
  EXPECT_EQ(word, 0x2345);
}

TEST_F(StoreTest, ValueNamesIgnoreCaseAndWritesNeedTheKey) {
  EXPECT_EQ(store.SetRegDword(kMainKey, "Relay Port", 4000), -1);
  store.CreateRegKey(kMainKey);
  EXPECT_EQ(store.SetRegDword(kMainKey, "Relay Port", 4000), 0);
  std::int32_t port = 0;
  EXPECT_EQ(store.QueryRegDword(kMainKey, "Relay port", &port), 0);
  EXPECT_EQ(port, 4000);
  EXPECT_EQ(store.WriteString("Website", "http://x/tpm"), 0);
  EXPECT_EQ(sim.registry.GetString(kMainKey, "WEBSITE"), "http://x/tpm");
}

TEST_F(StoreTest, TextsFollowTheStoredLanguageIndex) {
  // First use on an empty profile: the key is created, German is used.
  EXPECT_EQ(LoadLangText(store, sim.shell, 209), "\r\nDer Anruf erfolgt");
  EXPECT_TRUE(sim.registry.HasKey(kMainKey));
  sim.registry.SetDword(kMainKey, "Language Index", 2);
  EXPECT_EQ(LoadLangText(store, sim.shell, 209), "\r\nThe call takes place");
  EXPECT_EQ(LoadLangText(store, sim.shell, 240), " Deactivate profile");
  for (int outOfRange : {0, 16, -1}) {
    sim.registry.SetDword(kMainKey, "Language Index", outOfRange);
    EXPECT_EQ(LoadLangText(store, sim.shell, 238), "Unbekannt") << outOfRange;
  }
  // A language without texts shows empty labels.
  sim.registry.SetDword(kMainKey, "Language Index", 3);
  EXPECT_EQ(LoadLangText(store, sim.shell, 238), "");
}

// Where the user has no value of their own, the administrator's machine-wide
// default is read instead, as if the user had stored it.
TEST_F(StoreTest, MachineDefaultsFillInWhatTheUserHasNot) {
  using Stored = std::variant<std::monostate, std::string, std::int32_t>;  // monostate: missing
  struct Case {
    const char *key, *name;
    Stored user, machine;
    int rc;         // of the read; the reader presets "preset" or 7
    Stored result;  // what the reader gets
  } cases[] = {
      // The user's own value wins, also one the reader will reject.
      {kMainKey, "Server IP Address", "10.0.0.1", "10.9.9.9", 0, "10.0.0.1"},
      {kMainKey, "Server Port", 1000000, 4000, 0, 1000000},
      {kMainKey, "Server Port", "x", 4000, 13, 7},
      // The machine fills the gaps of the preset settings, names in any case.
      {kMainKey, "Server IP Address", {}, "10.9.9.9", 0, "10.9.9.9"},
      {kMainKey, "Relay port", {}, 1000000, 0, 1000000},
      {kMainKey, "CRM HTML Request", {}, "http://crm/{CALLERNO}", 0, "http://crm/{CALLERNO}"},
      {kMainKey, "Show Calls Enabled", {}, 1, 0, 1},  // read as 16 bits, through the same path
      {kColorsKey, "RED", {}, "VIP", 0, "VIP"},  // no user key at all
      // A bad machine value fails as the user's own would.
      {kMainKey, "Relay Port", {}, "abc", 13, 7},
      {kMainKey, "Server IP Address", {}, std::string(1024, 'a'), -1, "preset"},
      // Nothing on either side: the user's result, unchanged.
      {kMainKey, "Server Port", {}, {}, 2, 7},
      {kMainKey, "Server IP Address", {}, {}, -1, "preset"},
      // Identity, history and the rest are the user's alone.
      {kMainKey, "User ID", {}, 42, 2, 7},
      {kMainKey, "Parent User ID", {}, 40, 2, 7},
      {kDialOutKey, "Item1", {}, "0301", -1, ""},
  };
  auto put = [](sim::SimRegistry& hive, const Case& c, const Stored& v) {
    if (!std::holds_alternative<std::monostate>(v)) hive.CreateKey(c.key);
    if (auto* text = std::get_if<std::string>(&v)) hive.SetString(c.key, c.name, *text);
    if (auto* number = std::get_if<std::int32_t>(&v)) hive.SetDword(c.key, c.name, *number);
  };
  for (const Case& c : cases) {
    sim::SimRegistry user, machine;
    user.CreateKey(kMainKey);
    SettingsStore both(user, machine);
    put(user, c, c.user);
    put(machine, c, c.machine);
    SCOPED_TRACE(std::string(c.key) + " " + c.name);
    if (auto* number = std::get_if<std::int32_t>(&c.result)) {
      std::int32_t value = 7;
      EXPECT_EQ(both.QueryRegDword(c.key, c.name, &value), c.rc);
      EXPECT_EQ(value, *number);
    } else {
      std::string text = "preset";
      EXPECT_EQ(both.QueryRegString(c.key, c.name, &text), c.rc);
      EXPECT_EQ(text, std::get<std::string>(c.result));
    }
  }
}

}  // namespace
}  // namespace fon
