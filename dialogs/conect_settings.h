// The settings the configuration dialog edits: how they are read into its
// working copy (each with its range rule), the few conversions between what
// is stored and what the controls show, and how they are written back.
// Nothing here touches a window, so every rule can be checked on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace fon {

// The autostart value in the shell's Run key.
inline constexpr char kAutostartValue[] = "Mirelta Fonaris";
// Options of the client beyond the original set, stored beside it.
inline constexpr char kAwayOnLockValue[] = "Away On Lock";
inline constexpr char kPhoneLinksValue[] = "Phone Links";
// 1 (default): call popups wait while the user presents.
inline constexpr char kQuietValue[] = "Quiet While Presenting";

inline constexpr char kKeyFailedText[] = "Failed to open Fonaris Key\nCheck your user rights !";
inline constexpr char kKeyFailedCaption[] = "Error";

// Longest profile name and default number the dialog takes from the store.
inline constexpr std::size_t kMaxProfileName = 40;
inline constexpr std::size_t kMaxNumber = 40;
// Devices longer than this are never proposed as the default number.
inline constexpr std::size_t kMaxProposedDevice = 100;
inline constexpr std::uint16_t kHotkeyF8 = 0x77;
// The executable's path as the autostart value holds it.
inline constexpr std::size_t kMaxModulePath = 255;

struct ConectSettings {
  std::string serverAddress;
  int serverPort = 0;
  int relayPort = 0;
  // "User ID" exactly as stored (nothing when it was not): it is shown
  // nowhere, and the server's id must survive a save whatever its size.
  std::optional<std::int32_t> storedUserId;
  std::string website;
  int displayTime = 0;
  int idleMinutes = 0;
  int idleFlag = 0;
  std::string idleProfile;
  int endFlag = 0;
  std::string endProfile;
  int ownCalls = 1;
  std::string language;
  // The language the dialog speaks (it follows the language list before
  // anything is saved).
  int languageIndex = 1;
  // Hotkey as the hotkey control holds it (its own modifier flags).
  unsigned hotkeyVk = 0;
  unsigned hotkeyFlags = 0;
  std::string number;
  bool autostart = false;
  int awayOnLock = 1;
  int phoneLinks = 1;
  int quiet = 1;
};

// Hotkey control flags <-> RegisterHotKey modifiers: Alt and Shift trade
// places (1 <-> 4, 3 <-> 6); every other value, the extended-key flag
// included, stays as it is. The same swap serves both directions.
unsigned SwapAltShift(unsigned flags);
// The stored hotkey as the control shows it: F8 without modifiers when the
// stored modifier is above 100 or the key above 10000.
void HotkeyForControl(std::uint16_t modifier, std::uint16_t virtualKey, unsigned* vk, unsigned* flags);

// The default number to propose: the shortest device not longer than 100
// characters (of equal lengths the later one in the server's order); the
// stored number replaces it when there is one; a result longer than 40
// characters gives the first device instead. `devices` in server order.
std::string ProposeNumber(const std::vector<std::string>& devices, const std::string& stored);
// A typed number as it is stored: digits and "+" only.
std::string DigitsAndPlus(const std::string& typed);
// Autostart counts as on when the Run value holds more than three characters.
bool AutostartFromRunValue(const std::string& value);

// Loads the working copy as the dialog opens, with the device list in the
// server's order for the number proposal. *keyOk is false when the main key
// could not be created: every value then has its default.
ConectSettings LoadConectSettings(SettingsStore& store, const std::vector<std::string>& devices, bool* keyOk);
// Whether the user may choose which calls pop up; creates "Show Calls
// Enabled" as 0 when it is missing.
bool ReadShowCallsEnabled(SettingsStore& store);

// Writes the working copy back, in the order the client always has: the Run
// value, then the main key's values, then the language index derived from
// `languages` (the language list entry). Profile names are written only
// when chosen; an empty number is stored as an empty text; idle minutes of
// 0 switch the idle timer off.
void SaveConectSettings(SettingsStore& store, const ConectSettings& s, const std::string& modulePath,
                        const std::string& languages);

}  // namespace fon
