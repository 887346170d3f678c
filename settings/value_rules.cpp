#include "settings/value_rules.h"

#include <utility>

namespace fon {

namespace {

constexpr int kDefaultServerPort = 12346;
constexpr int kDefaultRelayPort = 12345;
constexpr int kDefaultPopupSeconds = 5;
constexpr int kMinInfoPopupSeconds = 3;
constexpr int kDefaultIdleMinutes = 30;
constexpr uint16_t kVkF8 = 0x77;

constexpr Hotkey kDefaultHotkey{0, kVkF8};

}  // namespace

int ServerPortOnLoad(int stored) { return (stored <= 0 || stored >= 1000000) ? kDefaultServerPort : stored; }

int RelayPortOnLoad(int stored) { return (stored <= 0 || stored > 1000000) ? kDefaultRelayPort : stored; }

int RegPortAtRegistration(int stored) { return RelayPortOnLoad(stored); }

int UserIdOnLoad(int stored) { return (stored < -100000 || stored > 100000) ? 0 : stored; }

bool IsRegisteredUserId(int stored) { return stored >= 1 && stored <= 1000000; }

int DisplayTimeOnLoad(int stored) {
  if (stored < 0) {
    return 0;
  }
  return stored > 9999 ? kDefaultPopupSeconds : stored;
}

int CallPopupSeconds(int stored) {
  // Taken as unsigned so that a negative value counts as too large.
  if (stored == 0 || static_cast<unsigned>(stored) > 9999u) {
    return kDefaultPopupSeconds;
  }
  return stored;
}

int InfoPopupSeconds(int stored) {
  const int seconds = CallPopupSeconds(stored);
  return seconds < kMinInfoPopupSeconds ? kMinInfoPopupSeconds : seconds;
}

int IdleMinutesOnLoad(int stored) { return (stored <= 0 || stored > 1440) ? kDefaultIdleMinutes : stored; }

int IdleMinutesAtStart(int stored) { return (stored > 1441 || stored < 0) ? kDefaultIdleMinutes : stored; }

int CheckboxOnLoad(int stored) { return stored == 1 ? 1 : 0; }

int LanguageIndexClamp(int stored) { return (stored < 1 || stored > 15) ? 1 : stored; }

std::string ServerAddressOnLoad(std::string stored) {
  if (stored.size() > 30) {
    return {};
  }
  return stored;
}

std::string WebsiteOnLoad(std::string site, const std::string& serverAddress) {
  if (site.empty() || site.size() > 50) {
    return "http://" + serverAddress + "/tpm";
  }
  return site;
}

std::string ProfileNameOnLoad(std::string stored) {
  if (stored.size() > 40) {
    return {};
  }
  return stored;
}

std::string LanguageOnLoad(std::string stored) {
  if (stored.empty() || stored.size() > 30) {
    return "Deutsch";
  }
  return stored;
}

Hotkey HotkeyAtStart(uint16_t mod, uint16_t vk) {
  if (mod > 10000 || vk > 10000) {
    return kDefaultHotkey;
  }
  return Hotkey{mod, vk};
}

Hotkey HotkeyInDialog(uint16_t mod, uint16_t vk) {
  if (mod > 100 || vk > 10000) {
    return kDefaultHotkey;
  }
  return Hotkey{mod, vk};
}

}  // namespace fon
