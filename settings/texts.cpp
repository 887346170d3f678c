#include "settings/texts.h"

#include "settings/lang_text.h"
#include "settings/value_rules.h"

namespace fon {

int ReadLanguageIndex(SettingsStore& store) {
  store.CreateRegKey(kMainKey);
  std::int32_t index = 0;
  store.QueryRegDword(kMainKey, "Language Index", &index);
  return LanguageIndexClamp(index);
}

std::string LoadLangText(SettingsStore& store, IResources& resources, int id) {
  int index = ReadLanguageIndex(store);
  return CutLangText(resources.LoadString(id), index);
}

}  // namespace fon
