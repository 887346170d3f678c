#include "settings/lang_text.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/value_rules.h"

namespace {

const std::string k173 = "Deutsch|1|English|2";
const std::string k209 = "\r\nDer Anruf erfolgt|1|\r\nThe call takes place|2";
const std::string k212 =
    "Beim Aktivieren des Profiles ist ein Fehler aufgetreten|1|\r\nError at activating the profile|2";
const std::string k220 =
    "\r\nInaktivit\xE4ts-Timer konnte nicht aktiviert werden.|1|\r\nCould not activate idle timer|2 ";
const std::string k240 = " Kein Profil aktivieren|1| Deactivate profile|2";
const std::string k245 =
    "\xFC"
    "ber: |1|over: |2";

TEST(CutLangText, Entries) {
  const struct {
    const std::string& entry;
    int index;
    std::string expected;
  } cases[] = {
      {k173, 1, "Deutsch"},
      {k173, 2, "English"},
      {k209, 1, "\r\nDer Anruf erfolgt"},
      {k209, 2, "\r\nThe call takes place"},
      {k212, 1, "Beim Aktivieren des Profiles ist ein Fehler aufgetreten"},
      {k212, 2, "\r\nError at activating the profile"},
      {k220, 1, "\r\nInaktivit\xE4ts-Timer konnte nicht aktiviert werden."},
      {k220, 2, "\r\nCould not activate idle timer"},
      {k240, 1, " Kein Profil aktivieren"},
      {k240, 2, " Deactivate profile"},
      {k245, 1,
       "\xFC"
       "ber: "},
      {k245, 2, "over: "},
      // No texts for indexes 3..15.
      {k173, 3, ""},
      {k209, 3, ""},
      {k240, 15, ""},
      // Degenerate entries.
      {"", 1, ""},
      {"no markers", 1, ""},
      {"1 at the start|2", 1, ""},
      {"1", 1, ""},
      {"|1|", 1, ""},
      {"|lead|1|", 1, "|lead"},  // a bar at position 0 is not a language separator
      {"a|1|b|2|c|3", 3, "c"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::CutLangText(c.entry, c.index), c.expected) << c.entry << " #" << c.index;
  }
}

TEST(CutLangText, StoredIndexOutsideRangeShowsGerman) {
  for (const int stored : {0, 16, -1}) {
    EXPECT_EQ(fon::CutLangText(k173, fon::LanguageIndexClamp(stored)), "Deutsch") << stored;
  }
}

TEST(LanguageIndexFromName, Names) {
  const struct {
    const char* name;
    int expected;
  } cases[] = {
      {"Deutsch", 1},
      {"English", 2},
      {"", 1},
      {"english", 1},  // the search is case-sensitive
      {"ENGLISH", 1},
      {"Klingon", 1},
      {"Engl", 2},
      {"sch", 1},
      // Names that are parts of the markers read past the numbers.
      {"|", 0},
      {"2", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::LanguageIndexFromName(k173, c.name), c.expected) << '"' << c.name << '"';
  }
}

TEST(LanguageIndexFromName, DegenerateEntries) {
  EXPECT_EQ(fon::LanguageIndexFromName("", ""), 0);
  EXPECT_EQ(fon::LanguageIndexFromName("", "Deutsch"), 0);
  EXPECT_EQ(fon::LanguageIndexFromName("no bars", "x"), 0);
  EXPECT_EQ(fon::LanguageIndexFromName("A|12|B|13", "B"), 13);
}

}  // namespace
