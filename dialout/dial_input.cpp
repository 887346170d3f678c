#include "dialout/dial_input.h"

#include <algorithm>

#include "dialout/normalize_number.h"

namespace fon {

bool CleanCallerNumber(std::string& caller) {
  const auto foreign = [](char c) { return !(c >= '0' && c <= '9') && c != '+'; };
  const auto end = std::remove_if(caller.begin(), caller.end(), foreign);
  const bool changed = end != caller.end();
  caller.erase(end, caller.end());
  return changed;
}

DialInput PrepareDialNumbers(std::string& called, std::string& caller) {
  NormalizeNumberInPlace(called);
  if (CleanCallerNumber(caller)) return DialInput::kCallerCorrected;
  if (called.size() < kMinDialChars || caller.size() < kMinDialChars) return DialInput::kTooShort;
  return DialInput::kReady;
}

std::string CallerPreset(std::string phoneNumber) {
  if (phoneNumber.size() > kMaxCallerPresetChars) phoneNumber.clear();
  return phoneNumber;
}

}  // namespace fon
