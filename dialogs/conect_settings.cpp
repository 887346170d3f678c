#include "dialogs/conect_settings.h"

#include "settings/lang_text.h"
#include "settings/value_rules.h"

namespace fon {

unsigned SwapAltShift(unsigned flags) {
  switch (flags) {
    case 1: return 4;
    case 4: return 1;
    case 3: return 6;
    case 6: return 3;
    default: return flags;
  }
}

void HotkeyForControl(std::uint16_t modifier, std::uint16_t virtualKey, unsigned* vk, unsigned* flags) {
  Hotkey key = HotkeyInDialog(modifier, virtualKey);
  *vk = key.virtualKey;
  *flags = SwapAltShift(key.modifier);
}

std::string ProposeNumber(const std::vector<std::string>& devices, const std::string& stored) {
  std::string proposal;
  std::size_t shortest = kMaxProposedDevice + 1;
  for (const std::string& device : devices) {
    if (device.size() <= shortest) {
      shortest = device.size();
      proposal = device;
    }
  }
  std::string number = stored.empty() ? proposal : stored;
  if (number.size() > kMaxNumber) number = devices.empty() ? std::string() : devices.front();
  return number;
}

std::string DigitsAndPlus(const std::string& typed) {
  std::string out;
  for (char c : typed)
    if ((c >= '0' && c <= '9') || c == '+') out += c;
  return out;
}

bool AutostartFromRunValue(const std::string& value) { return value.size() > 3; }

ConectSettings LoadConectSettings(SettingsStore& store, const std::vector<std::string>& devices, bool* keyOk) {
  *keyOk = store.CreateRegKey(kMainKey) == 0;
  ConectSettings s;
  s.languageIndex = LanguageIndexClamp(store.ReadDword("Language Index"));

  store.CreateRegKey(kMainKey);
  const std::string address = store.ReadString("Server IP Address");
  s.idleMinutes = IdleMinutesOnLoad(store.ReadDword("Idle Timer"));
  s.displayTime = DisplayTimeOnLoad(store.ReadDword("Display Time"));
  s.serverPort = ServerPortOnLoad(store.ReadDword("Server Port"));
  std::int32_t userId = 0;
  if (store.QueryRegDword(kMainKey, "User ID", &userId) == 0) s.storedUserId = userId;
  s.relayPort = RelayPortOnLoad(store.ReadDword("Relay Port"));
  s.website = WebsiteOnLoad(store.ReadString("Website"), address);
  s.serverAddress = ServerAddressOnLoad(address);
  s.idleFlag = CheckboxOnLoad(store.ReadDword("Idle Timer Checkbox"));
  s.endFlag = CheckboxOnLoad(store.ReadDword("End Profile Checkbox"));
  // The stored choice of calls is not offered: the dialog opens on "own".
  s.ownCalls = 1;
  s.language = LanguageOnLoad(store.ReadString("Language"));
  s.awayOnLock = store.ReadDword(kAwayOnLockValue, 1) == 0 ? 0 : 1;
  s.phoneLinks = store.ReadDword(kPhoneLinksValue, 1) == 0 ? 0 : 1;

  // A hotkey never stored is F8.
  std::uint16_t modifier = 0;
  std::uint16_t virtualKey = kHotkeyF8;
  store.QueryRegWord(kMainKey, "Hotkey - Modifier", &modifier);
  store.QueryRegWord(kMainKey, "Hotkey - Virtual Key", &virtualKey);
  HotkeyForControl(modifier, virtualKey, &s.hotkeyVk, &s.hotkeyFlags);

  s.idleProfile = ProfileNameOnLoad(store.ReadString("Idle Timer Profile"));
  s.endProfile = ProfileNameOnLoad(store.ReadString("End Profile"));
  s.number = ProposeNumber(devices, store.ReadString("Phone number"));

  std::string run;
  store.QueryRegString(kRunKey, kAutostartValue, &run);
  s.autostart = AutostartFromRunValue(run);
  return s;
}

bool ReadShowCallsEnabled(SettingsStore& store) {
  std::uint16_t enabled = 0;
  if (store.QueryRegWord(kMainKey, "Show Calls Enabled", &enabled) != 0) {
    store.WriteDword("Show Calls Enabled", 0);
    return false;
  }
  return enabled == 1;
}

void SaveConectSettings(SettingsStore& store, const ConectSettings& s, const std::string& modulePath,
                        const std::string& languages) {
  // The shell ignores an empty value; it stays so that switching autostart
  // on and off never leaves a stale path behind.
  store.CreateRegKey(kRunKey);
  const std::string path = modulePath.substr(0, kMaxModulePath);
  store.SetRegValue(kRunKey, kAutostartValue, s.autostart ? path + '\0' : std::string(), kRegSz);

  store.CreateRegKey(kMainKey);
  store.WriteString("Server IP Address", s.serverAddress);
  store.WriteString("Website", s.website);
  store.WriteDword("Server Port", s.serverPort);
  store.WriteDword("Idle Timer", s.idleMinutes);
  store.WriteDword("Display Time", s.displayTime);
  if (s.storedUserId) store.WriteDword("User ID", *s.storedUserId);
  store.WriteDword("Relay Port", s.relayPort);
  store.WriteDword("Hotkey - Virtual Key", static_cast<std::int32_t>(s.hotkeyVk));
  store.WriteDword("Hotkey - Modifier", static_cast<std::int32_t>(SwapAltShift(s.hotkeyFlags)));
  // No minutes, or fewer, is the idle timer switched off.
  store.WriteDword("Idle Timer Checkbox", s.idleMinutes <= 0 ? 0 : s.idleFlag);
  store.WriteDword("End Profile Checkbox", s.endFlag);
  store.WriteDword("Show Calls RadioButton", s.ownCalls);
  store.WriteString("Language", s.language);
  if (!s.idleProfile.empty()) store.WriteString("Idle Timer Profile", s.idleProfile);
  if (!s.endProfile.empty()) store.WriteString("End Profile", s.endProfile);
  store.WriteString("Phone number", s.number);
  store.WriteDword(kAwayOnLockValue, s.awayOnLock);
  store.WriteDword(kPhoneLinksValue, s.phoneLinks);

  store.CreateRegKey(kMainKey);
  store.WriteDword("Language Index", LanguageIndexFromName(languages, s.language));
}

}  // namespace fon
