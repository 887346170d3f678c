#pragma once

#include <cstdint>
#include <string>

// Range rules for values read from the settings store. Each reader applies
// its own rule to what it reads; every rule lives here once so that all the
// readers that share a rule share the code.
namespace fon {

// "Server Port": 12346 when <= 0 or >= 1000000.
int ServerPortOnLoad(int stored);
// "Relay Port" of a request when none is stored.
inline constexpr int kRelayPortDefault = 12345;
// "Relay Port": 12345 when <= 0 or > 1000000 (1000000 itself is kept).
int RelayPortOnLoad(int stored);
// Relay port preset of the registration dialog; same rule as RelayPortOnLoad.
int RegPortAtRegistration(int stored);

// "User ID" in the configuration dialog: 0 when < -100000 or > 100000.
int UserIdOnLoad(int stored);
// Start-up test whether a user id is stored: 1..1000000.
bool IsRegisteredUserId(int stored);

// "Display Time" in the configuration dialog: 0 when negative, 5 when > 9999.
int DisplayTimeOnLoad(int stored);
// Seconds a call popup stays: 5 when 0 or, taken as unsigned, > 9999.
int CallPopupSeconds(int stored);
// Seconds an information popup stays: as CallPopupSeconds, at least 3.
int InfoPopupSeconds(int stored);

// "Idle Timer" in the configuration dialog: 30 when <= 0 or > 1440.
int IdleMinutesOnLoad(int stored);
// "Idle Timer" at start-up: 30 when > 1441 or < 0 (0 and 1441 are kept).
int IdleMinutesAtStart(int stored);

// Check box values: 1 stays 1, anything else is 0.
int CheckboxOnLoad(int stored);
// "Language Index": 1 when < 1 or > 15.
int LanguageIndexClamp(int stored);

// "Server IP Address": empty when longer than 30 characters.
std::string ServerAddressOnLoad(std::string stored);
// "Website": "http://" + address + "/tpm" when empty or longer than 50
// characters. serverAddress is the address as read, before its own rule.
std::string WebsiteOnLoad(std::string site, const std::string& serverAddress);
// "Idle Timer Profile" / "End Profile": empty when longer than 40 characters.
std::string ProfileNameOnLoad(std::string stored);
// "Language": "Deutsch" when empty or longer than 30 characters.
std::string LanguageOnLoad(std::string stored);

// Dial-out hotkey in RegisterHotKey form (16-bit reads of the stored values).
struct Hotkey {
  uint16_t modifier;
  uint16_t virtualKey;
  friend bool operator==(const Hotkey&, const Hotkey&) = default;
};
// Start-up: F8 without modifier when either value is > 10000.
Hotkey HotkeyAtStart(uint16_t mod, uint16_t vk);
// Configuration dialog: F8 without modifier when mod > 100 or vk > 10000.
Hotkey HotkeyInDialog(uint16_t mod, uint16_t vk);

}  // namespace fon
