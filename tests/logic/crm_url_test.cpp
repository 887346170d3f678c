#include "calls/crm_url.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

fon::CrmValues SampleValues() {
  fon::CrmValues v;
  v.callerNo = "0301234";
  v.callerName = "Anna";
  v.calledNo = "0302222";
  v.redirInfo = "Hotline";
  v.callId = "17";
  v.calledUserId = "5";
  v.parentUserIdText = "3";
  v.userId = 5;
  v.serverAddress = "10.0.0.1";
  return v;
}

TEST(BuildCrmUrl, EachPlaceholder) {
  const fon::CrmValues v = SampleValues();
  const struct {
    const char* tmpl;
    const char* expected;
  } cases[] = {
      {"{CALLERNO}", "0301234"},
      {"{CALLERNAME}", "Anna"},
      {"{CALLEDNO}", "0302222"},
      {"{REDIRINFO}", "Hotline"},
      {"{CALLID}", "17"},
      {"{CALLEDUSERID}", "5"},
      {"{CALLEDPARENTUSERID}", "3"},
      {"{USERID}", "5"},
      {"{MTHOST}", "10.0.0.1"},
      {"http://{MTHOST}/crm?no={CALLERNO}&name={CALLERNAME}&id={CALLID}",
       "http://10.0.0.1/crm?no=0301234&name=Anna&id=17"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::BuildCrmUrl(c.tmpl, v), c.expected) << c.tmpl;
  }
}

TEST(BuildCrmUrl, TemplateTextIsLeftAlone) {
  const fon::CrmValues v = SampleValues();
  const struct {
    const char* tmpl;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"http://crm.local/a b?x=%20&y={}", "http://crm.local/a b?x=%20&y={}"},
      {"{callerno}|{CallerNo}|{CALLERNO", "{callerno}|{CallerNo}|{CALLERNO"},
      {"{CALLERNO}/{CALLERNO}", "0301234/0301234"},
      {"{USERID}{USERID}{USERID}", "555"},
      {"{{CALLID}}", "{17}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::BuildCrmUrl(c.tmpl, v), c.expected) << c.tmpl;
  }
}

TEST(BuildCrmUrl, ValuesAreEncodedAndNeverExpand) {
  fon::CrmValues v = SampleValues();
  v.callerName = "M\xFCller & Co";
  v.redirInfo = "{CALLID}";
  v.callerNo = "{USERID}";
  v.serverAddress = "host:8080";
  EXPECT_EQ(fon::BuildCrmUrl("{CALLERNAME}|{REDIRINFO}|{CALLERNO}|{MTHOST}", v),
            "M%FCller%20%26%20Co|%7BCALLID%7D|%7BUSERID%7D|host%3A8080");
}

TEST(BuildCrmUrl, UserIdInDecimal) {
  fon::CrmValues v = SampleValues();
  const struct {
    int userId;
    const char* expected;
  } cases[] = {{0, "0"}, {-5, "-5"}, {1000000, "1000000"}, {INT_MIN, "-2147483648"}, {INT_MAX, "2147483647"}};
  for (const auto& c : cases) {
    v.userId = c.userId;
    EXPECT_EQ(fon::BuildCrmUrl("{USERID}", v), c.expected);
  }
}

TEST(BuildCrmUrl, PlaceholdersAreFilledInFixedOrder) {
  fon::CrmValues v = SampleValues();
  // An empty value can join template text into a placeholder that is
  // filled later, but not into one that has already been filled.
  v.callerNo = "";
  EXPECT_EQ(fon::BuildCrmUrl("{CALL{CALLERNO}ID}", v), "17");
  v = SampleValues();
  v.callId = "";
  EXPECT_EQ(fon::BuildCrmUrl("{CALLER{CALLID}NO}", v), "{CALLERNO}");
}

TEST(BuildCrmUrl, LargeTemplateWithManyPlaceholders) {
  fon::CrmValues v = SampleValues();
  v.callerName = std::string(4000, '\xE4');  // every byte triples when encoded

  std::string tmpl;
  int count = 0;
  while (tmpl.size() + 12 <= 1023) {
    tmpl += "{CALLERNAME}";
    ++count;
  }
  tmpl.resize(1023, 'x');

  const std::string url = fon::BuildCrmUrl(tmpl, v);
  const std::string encodedName = [&] {
    std::string s;
    for (int i = 0; i < 4000; ++i) {
      s += "%E4";
    }
    return s;
  }();
  ASSERT_EQ(url.size(), static_cast<std::size_t>(count) * encodedName.size() + (1023 - count * 12));
  EXPECT_EQ(url.substr(0, encodedName.size()), encodedName);
  EXPECT_EQ(url.back(), 'x');
}

}  // namespace
