// The configuration dialog: its load and save rules, the language switch,
// refused input and what the client does with the new settings.
#include <gtest/gtest.h>

#include <sstream>

#include "dialogs/conect_settings.h"
#include "res/resource.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

// The working copy in one line, for tables that look at one part of it.
std::string Describe(const ConectSettings& s) {
  std::ostringstream o;
  o << "cti=" << s.serverPort << " relay=" << s.relayPort << " user=" << s.storedUserId.value_or(-1)
    << " show=" << s.displayTime << " idle=" << s.idleMinutes << "/" << s.idleFlag << " own=" << s.ownCalls
    << " end=" << s.endProfile << " at=" << s.serverAddress << " web=" << s.website << " lang=" << s.language
    << " key=" << s.hotkeyVk << "/" << s.hotkeyFlags << " no=" << s.number << " lock=" << s.awayOnLock
    << " links=" << s.phoneLinks << " auto=" << s.autostart;
  return o.str();
}

TEST(ConectSettingsTest, LoadRules) {
  const std::string a40(40, 'a'), a31(31, '1');
  struct Case {
    const char* name;
    std::int32_t dword;  // stored as REG_DWORD unless there is a text
    std::string text, expected;
  } cases[] = {
      {"Server Port", 65536, "", "cti=65536 "}, {"Server Port", 1000000, "", "cti=12346 "},
      {"Server Port", 0, "12400", "cti=12346 "}, {"Relay Port", 1000000, "", "relay=1000000 "},
      {"User ID", 150000, "", "user=150000 "}, {"Display Time", 10000, "", "show=5 "},
      {"Idle Timer", 0, "", "idle=30/0 "}, {"Show Calls RadioButton", 0, "", "own=1 "},
      {"End Profile", 0, a40, "end=" + a40 + " "}, {"End Profile", 0, a40 + "b", "end= "},
      {"Server IP Address", 0, a31, "at= web=http://" + a31 + "/tpm "}, {"Hotkey - Modifier", 101, "", "key=119/0 "},
      {"Hotkey - Modifier", 1, "", "key=119/4 "}, {"Hotkey - Modifier", 3, "", "key=119/6 "},
      {"Hotkey - Modifier", 8, "", "key=119/8 "}, {"Hotkey - Modifier", 2, "", "key=119/2 "},
      {"Hotkey - Modifier", 4, "", "key=119/1 "}, {"Hotkey - Modifier", 5, "", "key=119/5 "},
      {"Hotkey - Modifier", 6, "", "key=119/3 "}, {"Hotkey - Modifier", 7, "", "key=119/7 "},
      {"Phone number", 0, "", "no=301 "},
      {"Phone number", 0, a40 + "1", "no=30100 "}, {"Away On Lock", 0, "", "lock=0 links=1 auto=1"},
  };
  for (const Case& c : cases) {
    sim::SimRegistry registry;
    registry.SetString(kRunKey, kAutostartValue, "C:\\a");
    if (c.text.empty()) registry.SetDword(kMainKey, c.name, c.dword);
    if (!c.text.empty()) registry.SetString(kMainKey, c.name, c.text);
    SettingsStore store(registry);
    bool keyOk = false;
    const std::vector<std::string> devices{"30100", "302", "301", std::string(101, '9')};
    const ConectSettings loaded = LoadConectSettings(store, devices, &keyOk);
    const std::string got = Describe(loaded);
    EXPECT_NE(got.find(c.expected), std::string::npos) << c.name << " " << c.dword << " " << c.text << ": " << got;
    // OK on the untouched dialog stores what it showed: the next opening shows the same.
    SaveConectSettings(store, loaded, "C:\\a", "");
    EXPECT_EQ(Describe(LoadConectSettings(store, devices, &keyOk)), got) << c.name << " " << c.dword;
  }
  EXPECT_FALSE(AutostartFromRunValue("C:\\"));
}

class ConfigTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    sim.registry.SetDword(kMainKey, "User ID", 150000);
    sim.registry.SetString(kMainKey, "Language", "Deutsch");
    ServeCti();
    StartRecording();
    // Device mode 1 with the device 301; one profile, Away (7).
    frame->OnDevicesAnswer("+OK|1|0|301");
    frame->OnProfileListAnswer("+OK|7|Away");
  }
  void Run(std::function<void(sim::SimDialogRecord&)> script) {
    sim.modalScripts[IDD_CONFIG] = std::move(script);
    frame->CMainFrame::RunConfigDialog();
  }
  std::optional<std::int32_t> Dword(const char* name) { return sim.registry.GetDword(kMainKey, name); }
};

TEST_F(ConfigTest, LanguageSwitchRefusedInputAndSave) {
  sim.network.Listen(kServer, 12400);
  sim.shell.modulePath = "C:\\" + std::string(300, 'p');
  sim.registry.SetString(kMainKey, "Idle Timer Profile", "Gone");  // in no list: kept
  Run([&](sim::SimDialogRecord& d) {
    EXPECT_EQ(d.Entries(IDC_CONFIG_END_PROFILE), (std::vector<std::string>{"Away", "Forced Profile deaktivieren"}));
    EXPECT_TRUE(d.disabled.count(IDC_CONFIG_SHOW_CALLS) && d.disabled.count(IDC_CONFIG_IDLE_MINUTES) &&
                d.hidden.count(IDC_CONFIG_NUMBER_LIST));
    d.Toggle(IDC_CONFIG_IDLE_CHECK);
    EXPECT_FALSE(d.disabled.count(IDC_CONFIG_IDLE_MINUTES));
    EXPECT_EQ(d.items[IDC_CONFIG_TITLE], "Konfiguration");
    d.Type(IDC_CONFIG_CTI_PORT, "abc"), d.Type(IDC_CONFIG_IDLE_MINUTES, " 5");
    d.ChooseText(IDC_CONFIG_LANGUAGE, "English");
    EXPECT_EQ(d.items[IDC_CONFIG_TITLE] + "|" + d.items[IDC_CONFIG_SHOW_CALLS] + "|" + d.items[kIdCancel],
              "Configuration|own|Cancel");
    EXPECT_EQ(d.items[IDC_CONFIG_CTI_PORT] + "|" + d.items[IDC_CONFIG_IDLE_MINUTES], "abc| 5");  // as typed
    d.Press(kIdOk);
    const std::pair<int, std::string> refused{IDC_CONFIG_CTI_PORT, "Please enter an integer."};
    EXPECT_EQ(d.rejected, (std::vector{refused, refused}));  // by the switch, then by OK
    EXPECT_EQ(Dword("Show Calls RadioButton"), std::nullopt);  // neither the switch nor the OK saved
    d.Type(IDC_CONFIG_CTI_PORT, "12400");
    d.ChooseText(IDC_CONFIG_LANGUAGE, "Deutsch");  // all valid: shown as they will be saved
    EXPECT_EQ(d.items[IDC_CONFIG_IDLE_MINUTES], "5");
    d.ChooseText(IDC_CONFIG_LANGUAGE, "English");
    d.Type(IDC_CONFIG_NUMBER, "0711 / 123-45");
    d.PressHotkey(IDC_CONFIG_HOTKEY, 0x70, kHotkeyExtended);
    d.Toggle(IDC_CONFIG_AWAY_ON_LOCK);
    d.Press(kIdOk);
  });
  for (auto [name, value] : std::vector<std::pair<const char*, int>>{{"Server Port", 12400}, {"User ID", 150000},
           {"Idle Timer", 5}, {"Idle Timer Checkbox", 1}, {"Hotkey - Virtual Key", 0x70}, {"Hotkey - Modifier", 8},
           {"Show Calls RadioButton", 1}, {"Show Calls Enabled", 0}, {"Language Index", 2}, {"Away On Lock", 0}})
    EXPECT_EQ(Dword(name), value) << name;
  EXPECT_EQ(sim.registry.GetString(kMainKey, "Phone number"), "071112345");
  EXPECT_EQ(sim.registry.GetString(kRunKey, kAutostartValue), "");  // off: an empty value
  EXPECT_EQ(frame->Profiles().Devices().GetCount(), 2);
  // The client follows: new port, hotkey, idle timer, language.
  sim.loop.RunFor(10);
  EXPECT_EQ(sim.network.ConnectionsOnPort(12400).size(), 1u);
  EXPECT_EQ(sim.shell.hotkeys[ID_HOTKEY_DIALOUT], (std::pair<unsigned, unsigned>{8, 0x70}));
  EXPECT_TRUE(Running(ID_TIMER_IDLE) && frame->m_nTrayMenu == IDR_TRAYMENU_EN && frame->LoadLangText(236) == "all");
  // Autostart on: the path as far as 255 characters; 0 minutes switch the
  // idle timer off. A key that cannot be written: told, nothing stored.
  Run([](sim::SimDialogRecord& d) { d.Toggle(IDC_CONFIG_AUTOSTART), d.Type(IDC_CONFIG_IDLE_MINUTES, "0"), d.Press(kIdOk); });
  EXPECT_EQ(sim.registry.GetString(kRunKey, kAutostartValue)->size(), 255u);
  EXPECT_EQ(Dword("Idle Timer Checkbox"), 0);
  EXPECT_EQ(sim.registry.GetString(kMainKey, "Idle Timer Profile"), "Gone");
  sim.registry.DenyAccess(kMainKey);
  Run([&](sim::SimDialogRecord& d) {
    frame->CMainFrame::RunConfigDialog();  // a second command only raises it
    EXPECT_EQ(d.broughtToFront, 1);
    d.Type(IDC_CONFIG_CTI_PORT, "1"), d.Press(kIdOk);
  });
  EXPECT_EQ(sim.shell.messageBoxes, std::vector<std::string>{"Error: Failed to open Fonaris Key\nCheck your user rights !"});
  EXPECT_EQ(Dword("Server Port"), 12400);
}

TEST_F(ConfigTest, AnotherProgramsChoiceForTelIsShownWithTheWayToDefaultApps) {
  const std::string choice = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\tel\\UserChoice";
  sim.registry.CreateKey(choice);
  for (const char* progId : {"Fonaris.tel", "PhoneLink.tel"}) {
    sim.registry.SetString(choice, "ProgId", progId);
    Run([&](sim::SimDialogRecord& d) {
      EXPECT_EQ(d.hidden.count(IDC_CONFIG_PHONE_LINKS_ELSEWHERE), d.hidden.count(IDC_CONFIG_DEFAULT_APPS));
      if (!d.hidden.count(IDC_CONFIG_DEFAULT_APPS)) d.Press(IDC_CONFIG_DEFAULT_APPS);
      d.Press(kIdCancel);
    });
  }
  EXPECT_EQ(sim.shell.settingsPagesOpened, std::vector<std::string>{"ms-settings:defaultapps"});
}

}  // namespace
}  // namespace fon::test
