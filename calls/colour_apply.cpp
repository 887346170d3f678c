// Colouring a call popup by the administrator's rules under "Colors".
#include <array>
#include <string>

#include "app/main_frame.h"
#include "calls/colour_rules.h"
#include "calls/popup.h"

using namespace fon;

bool CMainFrame::ApplyColourRules(CPopup& popup) {
  if (settings_.CreateRegKey(kColorsKey) != 0) return false;

  // Every rule is read, in the fixed order, each into a fresh buffer: a
  // value that cannot be read must not inherit the previous one's text.
  std::array<std::string, 9> rules;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    std::string text;
    if (settings_.QueryRegString(kColorsKey, kColourRuleNames[i], &text) == 0) rules[i] = std::move(text);
  }

  const int match = MatchColourRule(rules, ColourSubject(m_strRedirInfo, popups_.LastCalledNo()));
  // The coloured skin keeps the Info button exactly when the popup has an
  // address to open: a template that appeared while this popup was being
  // set up serves from the next call on.
  if (match >= 0) popup.SetSkin(ColourSkinId(match, popup.HasUrl()));
  return true;
}
