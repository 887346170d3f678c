#include "calls/colour_rules.h"

#include "res/resource.h"

namespace fon {

namespace {

struct ColourSkins {
  int plain;
  int withCrm;
};

// Indexed like kColourRuleNames.
constexpr ColourSkins kColourSkins[9] = {
    {IDB_SKIN_RED, IDB_SKIN_RED_INFO},       {IDB_SKIN_GREEN, IDB_SKIN_GREEN_INFO},
    {IDB_SKIN_BLUE, IDB_SKIN_BLUE_INFO},     {IDB_SKIN_YELLOW, IDB_SKIN_YELLOW_INFO},
    {IDB_SKIN_TEAL, IDB_SKIN_TEAL_INFO},     {IDB_SKIN_ORANGE, IDB_SKIN_ORANGE_INFO},
    {IDB_SKIN_BROWN, IDB_SKIN_BROWN_INFO},   {IDB_SKIN_GREY, IDB_SKIN_GREY_INFO},
    {IDB_SKIN_VIOLET, IDB_SKIN_VIOLET_INFO},
};
constexpr ColourSkins kDefaultSkins{IDB_SKIN_DEFAULT, IDB_SKIN_DEFAULT_INFO};

// Lower-cases Windows-1252 text. Users expect the rules to ignore letter case
// for German names as well ("Müller" must match a rule "MÜLLER"), so the
// accented capitals of the code page are folded too, not only A-Z.
std::string LowerCp1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    unsigned char lower = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      lower = static_cast<unsigned char>(b + 0x20);
    } else if (b == 0x8A || b == 0x8C || b == 0x8E) {  // S caron, OE ligature, Z caron
      lower = static_cast<unsigned char>(b + 0x10);
    } else if (b == 0x9F) {  // Y with diaeresis
      lower = 0xFF;
    }
    c = static_cast<char>(lower);
  }
  return out;
}

}  // namespace

int MatchColourRule(const std::array<std::string, 9>& ruleTexts, std::string_view subject) {
  const std::string lowerSubject = LowerCp1252(subject);
  for (std::size_t i = 0; i < ruleTexts.size(); ++i) {
    if (ruleTexts[i].empty()) {
      continue;
    }
    if (lowerSubject.find(LowerCp1252(ruleTexts[i])) != std::string::npos) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int ColourSkinId(int ruleIndex, bool withCrm) {
  const ColourSkins& skins = (ruleIndex >= 0 && ruleIndex < 9) ? kColourSkins[ruleIndex] : kDefaultSkins;
  return withCrm ? skins.withCrm : skins.plain;
}

std::string ColourSubject(const std::string& redirInfo, const std::string& calledNo) {
  return redirInfo.empty() ? calledNo : redirInfo;
}

}  // namespace fon
