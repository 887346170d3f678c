#include "dialogs/conect_dialog.h"

#include "res/resource.h"
#include "settings/lang_text.h"
#include "text_ids.h"

using namespace fon;

namespace {

struct LabelText {
  int control;
  int text;
};

// Every label of the dialog with its text entry; the title first.
constexpr LabelText kLabels[] = {
    {IDC_CONFIG_TITLE, text::kConfigurationTitle},
    {IDC_CONFIG_END_PROFILE_LABEL, text::kEndProfileOption},
    {IDC_CONFIG_IDLE_LABEL, text::kIdleTimerOption},
    {IDC_CONFIG_IDLE_MINUTES_LABEL, text::kIdleAfterMinutesLabel},
    {IDC_CONFIG_IDLE_PROFILE_LABEL, text::kProfileLabel},
    {IDC_CONFIG_SHOW_CALLS_LABEL, text::kShowCallsLabel},
    {IDC_CONFIG_DISPLAY_TIME_LABEL, text::kPopupSecondsLabel},
    {IDC_CONFIG_SERVER_LABEL, text::kServerAddressLabel},
    {IDC_CONFIG_CTI_PORT_LABEL, text::kCtiPortLabel},
    {IDC_CONFIG_RELAY_PORT_LABEL, text::kRelayPortLabel},
    {IDC_CONFIG_NUMBER_LABEL, text::kDialoutNumberLabel},
    {IDC_CONFIG_HOTKEY_LABEL, text::kDialoutHotkeyLabel},
    {IDC_CONFIG_WEBSITE_LABEL, text::kWebsiteLabel},
    {IDC_CONFIG_LANGUAGE_LABEL, text::kLanguageLabel},
    {IDC_CONFIG_AUTOSTART_LABEL, text::kAutostartOption},
    {IDC_CONFIG_AWAY_ON_LOCK_LABEL, text::kAwayOnLockOption},
    {IDC_CONFIG_PHONE_LINKS_LABEL, text::kPhoneLinksOption},
    {IDC_CONFIG_QUIET_LABEL, text::kQuietOption},
    {IDC_CONFIG_PHONE_LINKS_ELSEWHERE, text::kPhoneLinksElsewhere},
    {IDC_CONFIG_DEFAULT_APPS, text::kDefaultAppsButton},
    {kIdOk, text::kOkButton},
    {kIdCancel, text::kAbortButton},
};

constexpr int kIdleControls[] = {IDC_CONFIG_IDLE_MINUTES_LABEL, IDC_CONFIG_IDLE_MINUTES,
                                 IDC_CONFIG_IDLE_PROFILE_LABEL, IDC_CONFIG_IDLE_PROFILE};

std::vector<std::string> InServerOrder(const CIdStringList& list) {
  std::vector<std::string> texts;
  list.ForEachFromTail([&](const IdStringEntry& entry) { texts.push_back(entry.strText); });
  return texts;
}

}  // namespace

CConectDialog::CConectDialog(IDialogHost& host, IConectDialogOwner& owner)
    : CCommandDialog(host, IDD_CONFIG), owner_(owner), m_devices(InServerOrder(owner.ConfigDevices())) {
  bool keyOk = true;
  m_settings = LoadConectSettings(Settings(), m_devices, &keyOk);
  if (!keyOk) Platform().Shell().MessageBox(kKeyFailedText, kKeyFailedCaption);
}

std::string CConectDialog::Text(int id) {
  return CutLangText(Platform().Resources().LoadString(id), m_settings.languageIndex);
}

void CConectDialog::ShowLabels() {
  for (const LabelText& label : kLabels) Window().SetItemText(label.control, Text(label.text));
}

void CConectDialog::FillShowCalls() {
  IDialogWindow& w = Window();
  w.ComboReset(IDC_CONFIG_SHOW_CALLS);
  int all = w.ComboAdd(IDC_CONFIG_SHOW_CALLS, Text(text::kShowAllCalls));
  int own = w.ComboAdd(IDC_CONFIG_SHOW_CALLS, Text(text::kShowOwnCalls));
  w.ComboSelect(IDC_CONFIG_SHOW_CALLS, m_settings.ownCalls == 1 ? own : all);
}

void CConectDialog::OnInit() {
  IDialogWindow& w = Window();
  ShowLabels();
  w.EnableItem(IDC_CONFIG_SHOW_CALLS, ReadShowCallsEnabled(Settings()));

  // Entry 244 stays in the language the dialog opened in.
  w.ComboAdd(IDC_CONFIG_END_PROFILE, Text(text::kClearForcedProfile));
  for (const std::string& name : InServerOrder(owner_.ConfigProfiles())) {
    w.ComboAdd(IDC_CONFIG_IDLE_PROFILE, name);
    w.ComboAdd(IDC_CONFIG_END_PROFILE, name);
  }
  for (const std::string& device : m_devices) {
    w.ComboAdd(IDC_CONFIG_NUMBER, device);
    w.ComboAdd(IDC_CONFIG_NUMBER_LIST, device);
  }
  const std::string languages = Platform().Resources().LoadString(text::kLanguages);
  for (int index = 1; index <= 2; ++index) w.ComboAdd(IDC_CONFIG_LANGUAGE, CutLangText(languages, index));
  FillShowCalls();
  // One of the two number fields, by what the server allows.
  w.ShowItem(owner_.ConfigDeviceMode() == 1 ? IDC_CONFIG_NUMBER_LIST : IDC_CONFIG_NUMBER, false);
  // The option alone would not make Windows offer the client for tel:.
  const bool elsewhere = owner_.PhoneLinksChosenElsewhere();
  w.ShowItem(IDC_CONFIG_PHONE_LINKS_ELSEWHERE, elsewhere);
  w.ShowItem(IDC_CONFIG_DEFAULT_APPS, elsewhere);
  FillControls();
}

void CConectDialog::FillControls() {
  IDialogWindow& w = Window();
  const ConectSettings& s = m_settings;
  w.SetItemText(IDC_CONFIG_SERVER, s.serverAddress);
  w.SetItemText(IDC_CONFIG_CTI_PORT, std::to_string(s.serverPort));
  w.SetItemText(IDC_CONFIG_RELAY_PORT, std::to_string(s.relayPort));
  w.SetItemText(IDC_CONFIG_WEBSITE, s.website);
  w.SetItemText(IDC_CONFIG_DISPLAY_TIME, std::to_string(s.displayTime));
  w.SetItemText(IDC_CONFIG_IDLE_MINUTES, std::to_string(s.idleMinutes));
  w.SetHotkey(IDC_CONFIG_HOTKEY, s.hotkeyVk, s.hotkeyFlags);
  w.SetChecked(IDC_CONFIG_IDLE_CHECK, s.idleFlag == 1);
  w.SetChecked(IDC_CONFIG_END_PROFILE_CHECK, s.endFlag == 1);
  w.SetChecked(IDC_CONFIG_AUTOSTART, s.autostart);
  w.SetChecked(IDC_CONFIG_AWAY_ON_LOCK, s.awayOnLock == 1);
  w.SetChecked(IDC_CONFIG_PHONE_LINKS, s.phoneLinks == 1);
  w.SetChecked(IDC_CONFIG_QUIET, s.quiet == 1);
  w.ComboSelect(IDC_CONFIG_IDLE_PROFILE, w.ComboFindExact(IDC_CONFIG_IDLE_PROFILE, s.idleProfile));
  w.ComboSelect(IDC_CONFIG_END_PROFILE, w.ComboFindExact(IDC_CONFIG_END_PROFILE, s.endProfile));
  w.ComboSelect(IDC_CONFIG_LANGUAGE, w.ComboFindExact(IDC_CONFIG_LANGUAGE, s.language));
  w.SetItemText(IDC_CONFIG_NUMBER, s.number);
  w.ComboSelect(IDC_CONFIG_NUMBER_LIST, w.ComboFindExact(IDC_CONFIG_NUMBER_LIST, s.number));
  EnableIdleControls();
  EnableEndProfileControls();
}

bool CConectDialog::ReadControls() {
  IDialogWindow& w = Window();
  // The integer fields first: a refused one changes nothing.
  int serverPort = 0, relayPort = 0, idleMinutes = 0, displayTime = 0;
  if (!ReadIntegerField(IDC_CONFIG_CTI_PORT, &serverPort) || !ReadIntegerField(IDC_CONFIG_RELAY_PORT, &relayPort) ||
      !ReadIntegerField(IDC_CONFIG_IDLE_MINUTES, &idleMinutes) ||
      !ReadIntegerField(IDC_CONFIG_DISPLAY_TIME, &displayTime))
    return false;
  ConectSettings& s = m_settings;
  s.serverPort = serverPort;
  s.relayPort = relayPort;
  s.idleMinutes = idleMinutes;
  s.displayTime = displayTime;
  s.serverAddress = w.GetItemText(IDC_CONFIG_SERVER);
  s.website = w.GetItemText(IDC_CONFIG_WEBSITE);
  auto chosen = [&w](int id) {
    int index = w.ComboSelection(id);
    return index < 0 ? std::string() : w.ComboText(id, index);
  };
  s.idleProfile = chosen(IDC_CONFIG_IDLE_PROFILE);
  s.endProfile = chosen(IDC_CONFIG_END_PROFILE);
  if (int language = w.ComboSelection(IDC_CONFIG_LANGUAGE); language >= 0)
    s.language = w.ComboText(IDC_CONFIG_LANGUAGE, language);
  s.ownCalls = chosen(IDC_CONFIG_SHOW_CALLS) == Text(text::kShowAllCalls) ? 0 : 1;
  s.idleFlag = w.IsChecked(IDC_CONFIG_IDLE_CHECK) ? 1 : 0;
  s.endFlag = w.IsChecked(IDC_CONFIG_END_PROFILE_CHECK) ? 1 : 0;
  s.autostart = w.IsChecked(IDC_CONFIG_AUTOSTART);
  s.awayOnLock = w.IsChecked(IDC_CONFIG_AWAY_ON_LOCK) ? 1 : 0;
  s.phoneLinks = w.IsChecked(IDC_CONFIG_PHONE_LINKS) ? 1 : 0;
  s.quiet = w.IsChecked(IDC_CONFIG_QUIET) ? 1 : 0;
  w.GetHotkey(IDC_CONFIG_HOTKEY, &s.hotkeyVk, &s.hotkeyFlags);
  s.number = owner_.ConfigDeviceMode() == 1 ? w.GetItemText(IDC_CONFIG_NUMBER) : chosen(IDC_CONFIG_NUMBER_LIST);
  return true;
}

void CConectDialog::OnOK() {
  if (!ReadControls()) return;
  ConectSettings& s = m_settings;
  const bool numberGiven = !Window().GetItemText(IDC_CONFIG_NUMBER).empty();
  if (owner_.ConfigDeviceMode() == 1) {
    s.number = DigitsAndPlus(s.number);
    bool known = false;
    for (const std::string& device : m_devices) known = known || device == s.number;
    if (!known) owner_.AddConfigDevice(s.number);
  }
  if (!numberGiven) s.number.clear();
  SaveConectSettings(Settings(), s, Platform().Shell().ModulePath(),
                     Platform().Resources().LoadString(text::kLanguages));
  owner_.ApplySettings();
  EndDialog(kIdOk);
}

void CConectDialog::EnableIdleControls() {
  const bool on = Window().IsChecked(IDC_CONFIG_IDLE_CHECK);
  for (int id : kIdleControls) Window().EnableItem(id, on);
}

void CConectDialog::EnableEndProfileControls() {
  Window().EnableItem(IDC_CONFIG_END_PROFILE, Window().IsChecked(IDC_CONFIG_END_PROFILE_CHECK));
}

void CConectDialog::OnClicked(int id) {
  if (id == IDC_CONFIG_DEFAULT_APPS) {
    owner_.OpenDefaultApps();
    return;
  }
  if (id == IDC_CONFIG_IDLE_CHECK)
    EnableIdleControls();
  else if (id == IDC_CONFIG_END_PROFILE_CHECK)
    EnableEndProfileControls();
  else
    return;
  Redraw();
}

void CConectDialog::OnSelectionChange(int id) {
  if (id != IDC_CONFIG_LANGUAGE) return;
  // The labels follow the choice at once; the choice itself is saved by OK
  // only. A number field holding no integer is refused as by OK, and what
  // the user typed stays in the fields.
  IDialogWindow& w = Window();
  const int index = w.ComboSelection(IDC_CONFIG_LANGUAGE);
  const bool read = ReadControls();
  if (index >= 0) {
    m_settings.language = w.ComboText(IDC_CONFIG_LANGUAGE, index);
    m_settings.languageIndex =
        LanguageIndexFromName(Platform().Resources().LoadString(text::kLanguages), m_settings.language);
  }
  ShowLabels();
  m_settings.ownCalls = 1;
  FillShowCalls();
  if (read) FillControls();
  Redraw();
}
