#include "calls/colour_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using Rules = std::array<std::string, 9>;

enum Colour { kRed, kGreen, kBlue, kYellow, kTeal, kOrange, kBrown, kGrey, kViolet };

Rules With(std::initializer_list<std::pair<Colour, std::string>> set) {
  Rules rules;
  for (const auto& [colour, text] : set) {
    rules[colour] = text;
  }
  return rules;
}

TEST(ColourRules, Matching) {
  const struct {
    Rules rules;
    std::string redirInfo;
    std::string calledNo;
    int expected;
  } cases[] = {
      {Rules{}, "Hotline sales", "0302222", -1},
      // Case-insensitive, first in table order wins.
      {With({{kRed, "Sales"}, {kBlue, "SAL"}}), "Hotline sales", "0302222", kRed},
      {With({{kBlue, "SAL"}, {kViolet, "sales"}}), "Hotline sales", "0302222", kBlue},
      // Without redirection the called number is the subject.
      {With({{kGreen, "222"}}), "", "0302222", kGreen},
      // With a redirection the called number is not looked at.
      {With({{kGreen, "0301"}}), "0302222", "0301999", -1},
      // The "unknown" text stands in for an empty called number.
      {With({{kTeal, "unbek"}}), "", "Unbekannt", kTeal},
      {With({{kTeal, "UNBEK"}}), "", "Unbekannt", kTeal},
      {With({{kTeal, "unbek"}}), "", "Unknown", -1},
      // Empty rules are skipped, later ones still match.
      {With({{kRed, ""}, {kViolet, "line"}}), "Hotline", "", kViolet},
      // Plain substring search: no wildcards, whole rule must occur.
      {With({{kOrange, "S*s"}}), "Sales", "", -1},
      {With({{kOrange, "Hotline sales!"}}), "Hotline sales", "", -1},
      // German names match whatever the case of their umlauts.
      {With({{kBrown, "M\xDCLLER"}}), "Herr M\xFCller", "", kBrown},
      {With({{kBrown, "m\xFCller"}}), "HERR M\xDCLLER", "", kBrown},
      {With({{kGrey, "\xC4rger"}}), "\xE4rger", "", kGrey},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::MatchColourRule(c.rules, fon::ColourSubject(c.redirInfo, c.calledNo)), c.expected)
        << c.redirInfo << " / " << c.calledNo;
  }
}

TEST(ColourRules, Cp1252LetterCase) {
  const struct {
    unsigned char upper;
    unsigned char lower;
    bool same;
  } pairs[] = {
      {'A', 'a', true},
      {'Z', 'z', true},
      {0xC0, 0xE0, true},
      {0xC4, 0xE4, true},
      {0xD6, 0xF6, true},
      {0xDC, 0xFC, true},
      {0xDE, 0xFE, true},
      {0x8A, 0x9A, true},
      {0x8C, 0x9C, true},
      {0x8E, 0x9E, true},
      {0x9F, 0xFF, true},
      // Neighbours that are not letter pairs.
      {0xD7, 0xF7, false},
      {0xDF, 0xFF, false},
      {'@', '`', false},
      {'[', '{', false},
      {0x80, 0xA0, false},
      {0xBF, 0xDF, false},
      {'^', '~', false},
  };
  for (const auto& p : pairs) {
    const std::string upper(1, static_cast<char>(p.upper));
    const std::string lower(1, static_cast<char>(p.lower));
    const int expected = p.same ? 0 : -1;
    EXPECT_EQ(fon::MatchColourRule(Rules{upper}, lower), expected) << int(p.upper) << "/" << int(p.lower);
    EXPECT_EQ(fon::MatchColourRule(Rules{lower}, upper), expected) << int(p.lower) << "/" << int(p.upper);
  }
}

TEST(ColourRules, SkinIds) {
  const struct {
    int rule;
    int plain;
    int withCrm;
  } cases[] = {
      {-1, 143, 203},      {kRed, 193, 209},    {kGreen, 191, 206},  {kBlue, 186, 204},
      {kYellow, 195, 212}, {kTeal, 196, 210},   {kOrange, 201, 208}, {kBrown, 199, 205},
      {kGrey, 200, 207},   {kViolet, 194, 211}, {9, 143, 203},       {-2, 143, 203},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::ColourSkinId(c.rule, false), c.plain) << c.rule;
    EXPECT_EQ(fon::ColourSkinId(c.rule, true), c.withCrm) << c.rule;
  }
}

TEST(ColourRules, Subject) {
  EXPECT_EQ(fon::ColourSubject("Hotline", "0302222"), "Hotline");
  EXPECT_EQ(fon::ColourSubject("", "0302222"), "0302222");
  EXPECT_EQ(fon::ColourSubject("", ""), "");
}

}  // namespace
