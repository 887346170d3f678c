#include "dialout/dial_history.h"

namespace fon {

namespace {

std::string ItemName(int n) { return "Item" + std::to_string(n); }

// Values written by hand may be anything; only 0..10 items can exist.
int StoredEntries(SettingsStore& settings) {
  std::int32_t entries = 0;
  settings.QueryRegDword(kDialOutKey, "Entrys", &entries);
  if (entries < 0) return 0;
  return entries > kDialHistoryItems ? kDialHistoryItems : entries;
}

}  // namespace

std::vector<std::string> ReadDialHistory(SettingsStore& settings) {
  std::vector<std::string> numbers;
  for (int n = StoredEntries(settings); n >= 1; --n) {
    std::string number;
    if (settings.QueryRegString(kDialOutKey, ItemName(n), &number) == 0) numbers.push_back(number);
  }
  return numbers;
}

void StoreDialHistory(SettingsStore& settings, const std::string& number) {
  settings.CreateRegKey(kDialOutKey);
  const int entries = StoredEntries(settings);
  if (entries < kDialHistoryItems) {
    settings.SetRegValue(kDialOutKey, ItemName(entries + 1), number + '\0', kRegSz);
    settings.SetRegDword(kDialOutKey, "Entrys", entries + 1);
    return;
  }
  std::int32_t last = 0;
  settings.QueryRegDword(kDialOutKey, "LastChanged", &last);
  const int n = (last >= kDialHistoryItems || last < 0) ? 1 : last + 1;
  settings.SetRegValue(kDialOutKey, ItemName(n), number + '\0', kRegSz);
  settings.SetRegDword(kDialOutKey, "LastChanged", n);
}

}  // namespace fon
