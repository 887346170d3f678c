#pragma once

#include <string>
#include <string_view>

namespace fon {

// Cuts one language's text out of a bilingual entry
// ("German|1|English|2"). The language is found by the first occurrence of
// the decimal form of languageIndex anywhere in the entry; an index that does
// not occur yields an empty text. The caller clamps the index first.
std::string CutLangText(std::string_view entry, int languageIndex);

// Derives the language index from a language name and the language list
// entry ("Deutsch|1|English|2"). The name is searched case-sensitively; a
// name that does not occur, the empty name included, gives the first
// language's number.
int LanguageIndexFromName(std::string_view entry173, std::string_view name);

}  // namespace fon
