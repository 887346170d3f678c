#pragma once

#include <array>
#include <string>
#include <string_view>

namespace fon {

// Value names of the colour rules under the "Colors" key, in the order they
// are tried.
inline constexpr const char* kColourRuleNames[9] = {"RED",    "GREEN", "BLUE", "YELLOW", "TEAL",
                                                    "ORANGE", "BROWN", "GREY", "VIOLET"};

// Index of the first non-empty rule whose text occurs in the subject,
// ignoring letter case (Windows-1252 letters included), or -1.
int MatchColourRule(const std::array<std::string, 9>& ruleTexts, std::string_view subject);

// Popup skin bitmap for a matched rule; -1 (no match) and any other index
// outside 0..8 give the default skin. withCrm selects the skins with the
// "Info" button.
int ColourSkinId(int ruleIndex, bool withCrm);

// What the rules are matched against: the redirection information when
// there is one, otherwise the called number.
std::string ColourSubject(const std::string& redirInfo, const std::string& calledNo);

}  // namespace fon
