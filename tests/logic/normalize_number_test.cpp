#include "dialout/country_codes.h"
#include "dialout/dial_input.h"
#include "dialout/normalize_number.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using std::string;
TEST(NormalizeNumber, Numbers) {
  const struct {
    string number, expected;
  } cases[] = {
      {"+49 (0)30 1234-5", "00493012345"}, {"0039 06 1234", "0039061234"}, {"0049 30 1234", "0049301234"},
      {"0012125551234", "0012125551234"}, {"00490", "00490"}, {"030/12345", "03012345"}, {"12", "12"},
      {"1", "1"}, {"abc", ""}, {"0+49", "049"}, {"", ""}, {"+4", "+4"}, {"++49", "0049"},
      {"004901", "004901"}, {"0049012", "004912"},                // 3 left after the code, not 2
      {"003906012", "003906012"}, {"00733012", "00733012"},       // 0039 and 007 come first
      {"0070123", "007123"}, {"0087810012", "0087810012"}, {"00991001012", "0099101012"},
      {"+1 242 0123", "001242123"}, {"00672 0123", "00672123"},   // a repeated row still fits
      {"004900123", "00490123"},                                  // one zero only
      {string("03\0" "0 12", 7), "03012"}, {"030\r\n1234\n", "0301234"}, {"\xB1" "03\xFF" "0\x80", "030"},
      {string(1020, ' ') + "123", "123"}, {string(1021, ' ') + "123", "12"},  // read limit
      {string(254, '5'), string(253, '5')}, {"+" + string(300, '1'), "00" + string(252, '1')},
      {string(99990, 'x') + "0301234567", ""}, {string(100000, '7'), string(253, '7')},
  };
  string reused;  // the in-place form agrees and never reallocates a buffer with room
  reused.reserve(100001);
  const char* const storage = reused.data();
  for (const auto& c : cases) {
    EXPECT_EQ(fon::NormalizeNumber(c.number), c.expected) << c.number.substr(0, 40);
    fon::NormalizeNumberInPlace(reused.assign(c.number));
    EXPECT_TRUE(reused == c.expected && reused.data() == storage) << c.number.substr(0, 40);
  }
  EXPECT_TRUE(fon::StripCountryTrunkZero("0049030") == "004930" && fon::StripCountryTrunkZero("000") == "000");
}

TEST(CountryCodes, Table) {
  const auto rows = fon::CountryCodes();
  ASSERT_EQ(rows.size(), 261u);
  EXPECT_TRUE(rows.front().code == "001242" && rows.back().code == "00998");
  int keepers = 0, repeats = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_TRUE(rows[i].code.starts_with("00") && rows[i].code.size() <= 11) << rows[i].code;
    keepers += rows[i].keepZero ? 1 : 0;
    repeats += (i > 0 && rows[i].code == rows[i - 1].code) ? 1 : 0;
  }
  EXPECT_TRUE(keepers == 1 && fon::FindCountryCode("0039123")->keepZero);
  EXPECT_EQ(repeats, 3);  // 00670 twice, 00672 three times
  EXPECT_EQ(fon::FindCountryCode("001123456"), nullptr);
}

TEST(PrepareDialNumbers, Results) {
  using R = fon::DialInput;
  const struct {
    string called, caller;
    R result;
    string calledAfter, callerAfter;
  } cases[] = {
      {"+49 (0)30 1234-5", "301", R::kReady, "00493012345", "301"},
      {"812", "301-2", R::kCallerCorrected, "812", "3012"},
      {"0 81", "+49 30", R::kCallerCorrected, "081", "+4930"},
      {"1", "3-", R::kCallerCorrected, "1", "3"},
      {"812", "30+1", R::kReady, "812", "30+1"},
      {"1", "301", R::kTooShort, "1", "301"},
      {"abc", "301", R::kTooShort, "", "301"},
      {"12", "3", R::kTooShort, "12", "3"},
  };
  for (auto c : cases) {
    EXPECT_EQ(fon::PrepareDialNumbers(c.called, c.caller), c.result) << c.called << " / " << c.caller;
    EXPECT_TRUE(c.called == c.calledAfter && c.caller == c.callerAfter) << c.called << " / " << c.caller;
  }
  EXPECT_EQ(fon::CallerPreset(string(30, '1')), string(30, '1'));
  EXPECT_EQ(fon::CallerPreset(string(31, '1')), "");
}

}  // namespace
