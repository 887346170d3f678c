// The configuration dialog: its load and save rules, the language switch,
// refused input and what the client does with the new settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "dialogs/conect_settings.h"
#include "res/resource.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

using Field = std::function<std::string(const ConectSettings&)>;
std::string Num(int v) { return std::to_string(v); }

TEST(ConectSettingsTest, LoadRules) {
  const std::string a40(40, 'a'), a31(31, '1');
  struct Case {
    const char* name;
    std::int64_t dword;  // stored as REG_DWORD unless there is a text
    std::string text;
    Field field;
    std::string expected;
  } cases[] = {
      {"Server Port", -1, "", [](auto& s) { return Num(s.serverPort); }, "12346"},
      {"Server Port", 0, "", [](auto& s) { return Num(s.serverPort); }, "12346"},
      {"Server Port", 65536, "", [](auto& s) { return Num(s.serverPort); }, "65536"},
      {"Server Port", 1000000, "", [](auto& s) { return Num(s.serverPort); }, "12346"},
      {"Server Port", 0, "12400", [](auto& s) { return Num(s.serverPort); }, "12346"},
      {"Relay Port", 1000000, "", [](auto& s) { return Num(s.relayPort); }, "1000000"},
      {"Relay Port", 1000001, "", [](auto& s) { return Num(s.relayPort); }, "12345"},
      {"User ID", 150000, "", [](auto& s) { return Num(s.storedUserId.value_or(-1)); }, "150000"},
      {"Display Time", 10000, "", [](auto& s) { return Num(s.displayTime); }, "5"},
      {"Display Time", -1, "", [](auto& s) { return Num(s.displayTime); }, "0"},
      {"Idle Timer", 0, "", [](auto& s) { return Num(s.idleMinutes); }, "30"},
      {"Idle Timer Checkbox", 2, "", [](auto& s) { return Num(s.idleFlag); }, "0"},
      {"Show Calls RadioButton", 0, "", [](auto& s) { return Num(s.ownCalls); }, "1"},
      {"End Profile", 0, a40, [](auto& s) { return s.endProfile; }, a40},
      {"End Profile", 0, a40 + "b", [](auto& s) { return s.endProfile; }, ""},
      {"Server IP Address", 0, a31, [](auto& s) { return s.serverAddress + " " + s.website; },
       " http://" + a31 + "/tpm"},
      {"Language", 0, "", [](auto& s) { return s.language; }, "Deutsch"},
      {"Hotkey - Modifier", 101, "", [](auto& s) { return Num(s.hotkeyVk) + "/" + Num(s.hotkeyFlags); }, "119/0"},
      {"Hotkey - Modifier", 1, "", [](auto& s) { return Num(s.hotkeyVk) + "/" + Num(s.hotkeyFlags); }, "112/4"},
      {"Hotkey - Modifier", 3, "", [](auto& s) { return Num(s.hotkeyFlags); }, "6"},
      {"Hotkey - Modifier", 8, "", [](auto& s) { return Num(s.hotkeyFlags); }, "8"},
      {"Phone number", 0, "", [](auto& s) { return s.number; }, "301"},
      {"Phone number", 0, a40 + "1", [](auto& s) { return s.number; }, "30100"},
      {"Away On Lock", 0, "", [](auto& s) { return Num(s.awayOnLock) + Num(s.phoneLinks); }, "01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + Num(int(c.dword)) + " " + c.text);
    sim::SimRegistry registry;
    registry.CreateKey(kMainKey);
    registry.SetDword(kMainKey, "Hotkey - Virtual Key", 112);
    if (c.text.empty()) registry.SetDword(kMainKey, c.name, int(c.dword));
    if (!c.text.empty()) registry.SetString(kMainKey, c.name, c.text);
    SettingsStore store(registry);
    bool keyOk = false;
    EXPECT_EQ(c.field(LoadConectSettings(store, {"30100", "302", "301", std::string(101, '9')}, &keyOk)),
              c.expected);
    EXPECT_TRUE(keyOk);
  }
}

TEST(ConectSettingsTest, AutostartAndNumberRules) {
  EXPECT_EQ((std::vector<bool>{AutostartFromRunValue(""), AutostartFromRunValue("C:\\"),
                               AutostartFromRunValue("C:\\a")}),
            (std::vector<bool>{false, false, true}));
  EXPECT_EQ(DigitsAndPlus("+49 (0711) / 123-45"), "+49071112345");
  EXPECT_EQ(ProposeNumber({}, ""), "");
}

class ConfigTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    sim.registry.SetDword(kMainKey, "User ID", 150000);
    sim.registry.SetString(kMainKey, "Language", "Deutsch");
    ServeCti();
    StartRecording();
    frame->m_nDeviceMode = 1;
    frame->m_lstDevices.AddHead(0, 0, "301");
    frame->m_lstProfiles.AddHead(0, 7, "Away");
  }
  // Runs the dialog with `script` and returns its window.
  sim::SimDialogRecord& Run(std::function<void(sim::SimDialogRecord&)> script) {
    sim.modalScripts[IDD_CONFIG] = std::move(script);
    frame->CMainFrame::RunConfigDialog();
    return **std::find_if(sim.dialogs.rbegin(), sim.dialogs.rend(), [](auto& d) { return d->templateId == IDD_CONFIG; });
  }
  std::optional<std::int32_t> Dword(const char* name) { return sim.registry.GetDword(kMainKey, name); }
};

TEST_F(ConfigTest, LanguageSwitchRefusedInputAndSave) {
  sim.network.Listen(kServer, 12400);
  sim.shell.modulePath = "C:\\" + std::string(300, 'p');
  auto& dlg = Run([&](sim::SimDialogRecord& d) {
    EXPECT_EQ(d.items[IDC_CONFIG_TITLE], "Konfiguration");
    EXPECT_EQ(d.Entries(IDC_CONFIG_END_PROFILE), (std::vector<std::string>{"Away", "Forced Profile deaktivieren"}));
    EXPECT_TRUE(d.disabled.count(IDC_CONFIG_SHOW_CALLS) && d.disabled.count(IDC_CONFIG_IDLE_MINUTES));
    EXPECT_TRUE(d.hidden.count(IDC_CONFIG_NUMBER_LIST));
    d.Toggle(IDC_CONFIG_IDLE_CHECK);
    EXPECT_FALSE(d.disabled.count(IDC_CONFIG_IDLE_MINUTES));
    d.ChooseText(IDC_CONFIG_LANGUAGE, "English");
    EXPECT_EQ(d.items[IDC_CONFIG_TITLE] + "|" + d.items[IDC_CONFIG_SHOW_CALLS] + "|" + d.items[kIdCancel],
              "Configuration|own|Cancel");
    EXPECT_EQ(sim.registry.GetString(kMainKey, "Language"), "Deutsch");
    d.Type(IDC_CONFIG_CTI_PORT, "abc");
    d.Press(kIdOk);
    EXPECT_EQ(d.rejected, (std::vector<std::pair<int, std::string>>{{IDC_CONFIG_CTI_PORT, "Please enter an integer."}}));
    EXPECT_FALSE(d.ended);
    EXPECT_FALSE(Dword("Server Port") != kCtiPort || Dword("Show Calls Enabled") != 0 || Dword("Hotkey - Modifier"));
    d.Type(IDC_CONFIG_CTI_PORT, "12400");
    d.Type(IDC_CONFIG_IDLE_MINUTES, "5");
    d.Type(IDC_CONFIG_NUMBER, "0711 / 123-45");
    d.PressHotkey(IDC_CONFIG_HOTKEY, 0x70, kHotkeyExtended);
    d.Toggle(IDC_CONFIG_AWAY_ON_LOCK);
    d.Press(kIdOk);
  });
  EXPECT_EQ(dlg.endCode, kIdOk);
  for (auto [name, value] : std::vector<std::pair<const char*, int>>{{"Server Port", 12400}, {"User ID", 150000},
           {"Idle Timer", 5}, {"Idle Timer Checkbox", 1}, {"Hotkey - Virtual Key", 0x70}, {"Hotkey - Modifier", 8},
           {"Show Calls RadioButton", 1}, {"Language Index", 2}, {"Away On Lock", 0}, {"Phone Links", 1}})
    EXPECT_EQ(Dword(name), value) << name;
  EXPECT_EQ(sim.registry.GetString(kMainKey, "Phone number"), "071112345");
  EXPECT_EQ(sim.registry.GetString(kRunKey, kAutostartValue), "");  // off: an empty value
  EXPECT_EQ(frame->m_lstDevices.GetCount(), 2);
  // The client follows: new port, hotkey, idle timer, language.
  sim.loop.RunFor(10);
  EXPECT_EQ(sim.network.ConnectionsOnPort(12400).size(), 1u);
  EXPECT_EQ(sim.shell.hotkeys[ID_HOTKEY_DIALOUT], (std::pair<unsigned, unsigned>{8, 0x70}));
  EXPECT_TRUE(Running(ID_TIMER_IDLE));
  EXPECT_EQ(frame->m_nTrayMenu, IDR_TRAYMENU_EN);
  EXPECT_EQ(frame->LoadLangText(236), "all");
  // Autostart on: the path as far as 255 characters.
  Run([](sim::SimDialogRecord& d) {
    d.Toggle(IDC_CONFIG_AUTOSTART);
    d.Press(kIdOk);
  });
  EXPECT_EQ(sim.registry.GetString(kRunKey, kAutostartValue)->size(), 255u);
}

TEST_F(ConfigTest, UnwritableKeyAndSingleInstance) {
  sim.registry.DenyAccess(kMainKey);
  Run([&](sim::SimDialogRecord& d) {
    frame->CMainFrame::RunConfigDialog();  // a second command only raises it
    EXPECT_EQ(d.broughtToFront, 1);
    d.Press(kIdOk);
  });
  EXPECT_EQ(std::count_if(sim.dialogs.begin(), sim.dialogs.end(), [](auto& d) { return d->templateId == IDD_CONFIG; }), 1);
  EXPECT_EQ(sim.shell.messageBoxes, std::vector<std::string>{"Error: Failed to open Fonaris Key\nCheck your user rights !"});
  EXPECT_EQ(Dword("Show Calls RadioButton"), std::nullopt);
}

}  // namespace
}  // namespace fon::test
