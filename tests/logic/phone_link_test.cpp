// The number of a tel:/callto: link.
#include <gtest/gtest.h>

#include "dialout/phone_link.h"

namespace fon {
namespace {

TEST(PhoneLink, NumberOfALink) {
  struct Case {
    std::string link;
    std::optional<std::string> number;
  } cases[] = {
      {"tel:+49-30-123;ext=5", "004930123"},
      {"tel:+49%20(0)30%201234-5", "00493012345"},
      {"TEL:0301234567", "0301234567"},
      {"callto://+49 30 1234", "0049301234"},
      {"callto:0039%2006%201234", "0039061234"},
      {"\"tel:030/12345?x=1#frag\"", "03012345"},
      {"tel:%2B4930123", "004930123"},  // an escaped plus is a plus
      {"tel:%3B0301", "0301"},          // an escaped ";" separates nothing
      {"tel:12%", "12"},
      {"tel:%zz12%4", "124"},
      {"tel:", std::nullopt},
      {"tel:;ext=5", std::nullopt},
      {"tel:abc", std::nullopt},
      {"mailto:0301234", std::nullopt},
      {"http://tel:0301234", std::nullopt},
      {"te", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(PhoneLinkNumber(c.link), c.number) << c.link;

  // Long links are cut, never overrun.
  EXPECT_EQ(PhoneLinkNumber("tel:" + std::string(100000, '7'))->size(), 253u);
  EXPECT_EQ(PhoneLinkNumber("tel:" + std::string(100000, '%')), std::nullopt);
}

}  // namespace
}  // namespace fon
