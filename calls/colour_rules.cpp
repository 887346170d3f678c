#include "calls/colour_rules.h"

namespace fon {

namespace {

struct ColourSkins {
  int plain;
  int withCrm;
};

// Indexed like kColourRuleNames.
constexpr ColourSkins kColourSkins[9] = {
    {193, 209}, {191, 206}, {186, 204}, {195, 212}, {196, 210},
    {201, 208}, {199, 205}, {200, 207}, {194, 211},
};
constexpr ColourSkins kDefaultSkins{143, 203};

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
