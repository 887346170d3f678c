#pragma once

#include <cstddef>
#include <string>

namespace fon {

// Both numbers of a dial-out request need at least this many characters.
inline constexpr std::size_t kMinDialChars = 2;
// A stored "Phone number" longer than this is not offered as the caller.
inline constexpr std::size_t kMaxCallerPresetChars = 30;

// What the dial-out dialog does with the numbers the user confirmed.
enum class DialInput {
  kReady,            // dial
  kCallerCorrected,  // show text 207 and the cleaned numbers, do not dial
  kTooShort,         // show text 208, do not dial
};

// Removes every character that is neither a digit 0-9 nor "+" (a "+" stays
// wherever it stands). True when anything was removed. Works in place.
bool CleanCallerNumber(std::string& caller);

// The dialog's check on OK: normalises the called number and cleans the
// caller, both in place (the dialog shows them afterwards), then decides.
// A corrected caller is reported before a length problem, so the user first
// sees what was changed.
DialInput PrepareDialNumbers(std::string& called, std::string& caller);

// The caller preset from the stored "Phone number": empty when too long.
std::string CallerPreset(std::string phoneNumber);

}  // namespace fon
