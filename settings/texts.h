// Looking up a user text in the current language.
#pragma once

#include <string>

#include "platform/platform.h"
#include "settings/settings_store.h"

namespace fon {

// "Language Index" as every window reads it: from the store, clamped 1..15.
int ReadLanguageIndex(SettingsStore& store);

// The current language's half of string-table entry `id`. Reads the stored
// language on every call, so a saved change shows in the next window built.
std::string LoadLangText(SettingsStore& store, IResources& resources, int id);

}  // namespace fon
