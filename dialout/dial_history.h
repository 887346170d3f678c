// The last ten called numbers, under the "DialOutList" key: "Entrys" items
// are in use ("Item1".."Item10"); once all ten are, a new number overwrites
// the one after "LastChanged", going round.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace fon {

inline constexpr int kDialHistoryItems = 10;

// The stored numbers from "Item<Entrys>" down to "Item1"; items that cannot
// be read are left out.
std::vector<std::string> ReadDialHistory(SettingsStore& settings);

// Stores a number that is not in the history yet.
void StoreDialHistory(SettingsStore& settings, const std::string& number);

}  // namespace fon
