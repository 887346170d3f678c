#include "settings/lang_text.h"

#include <algorithm>

#include "common/c_atoi.h"

namespace fon {

std::string CutLangText(std::string_view entry, int languageIndex) {
  const std::string number = std::to_string(languageIndex);
  const std::size_t p = entry.find(number);

  // Keep what stands before the bar in front of the number: this language's
  // text, preceded by the texts of the lower-numbered languages. When the
  // number is missing, or sits at the very start with no bar before it,
  // nothing is kept.
  std::string_view text;
  if (p != std::string_view::npos && p > 0) {
    text = entry.substr(0, p - 1);
  }

  // Drop the lower-numbered languages: everything up to the last bar. A bar
  // at position 0 does not count, so a text may start with one.
  const std::size_t d = text.rfind('|');
  if (d != std::string_view::npos && d > 0) {
    text.remove_prefix(d + 1);
  }
  return std::string(text);
}

int LanguageIndexFromName(std::string_view entry173, std::string_view name) {
  std::string_view rest = entry173;

  // Skip to just past the name's first character; the number behind the
  // next bar is the name's own. An unknown name skips nothing, so the first
  // language's number is found.
  const std::size_t p = rest.find(name);
  if (p != std::string_view::npos) {
    rest.remove_prefix(std::min(p + 1, rest.size()));
  }

  const std::size_t q = rest.find('|');
  if (q != std::string_view::npos) {
    rest.remove_prefix(q + 1);
  }

  const std::size_t end = rest.find('|');
  if (end != std::string_view::npos) {
    rest = rest.substr(0, end);
  }
  return Atoi(rest);
}

}  // namespace fon
