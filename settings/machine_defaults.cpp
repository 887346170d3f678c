#include "settings/machine_defaults.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "settings/settings_store.h"

namespace fon {

namespace {

constexpr std::array<std::string_view, 5> kPresetMainValues = {
    "Server IP Address", "Server Port", "Relay Port", "CRM HTML Request", "Show Calls Enabled",
};

bool SameText(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

bool HasMachineDefault(const std::string& key, const std::string& name) {
  // Every colour rule: the rules are a list an administrator maintains.
  if (SameText(key, kColorsKey)) return true;
  if (!SameText(key, kMainKey)) return false;
  return std::any_of(kPresetMainValues.begin(), kPresetMainValues.end(),
                     [&](std::string_view preset) { return SameText(name, preset); });
}

}  // namespace fon
