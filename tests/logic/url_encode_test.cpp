#include "calls/url_encode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(UrlEncode, Examples) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"M\xFCller & Co", "M%FCller%20%26%20Co"},
      {"a_b-c.d~e", "a_b-c.d%7Ee"},
      {"", ""},
      {"0301234", "0301234"},
      {"+49 (30) 1234", "%2B49%20(30)%201234"},
      {"{CALLID}", "%7BCALLID%7D"},
      {"a|b", "a%7Cb"},
      {"O'Brien*", "O'Brien*"},
      {"\r\n\t", "%0D%0A%09"},
      {std::string("\0x", 2), "%00x"},
      {"\x7F\x80\xFF", "%7F%80%FF"},
      {"http://h/p?a=1&b=2#f", "http%3A%2F%2Fh%2Fp%3Fa%3D1%26b%3D2%23f"},
      {"\"<>%\\^[]`+$,@:;/!#?=&", "%22%3C%3E%25%5C%5E%5B%5D%60%2B%24%2C%40%3A%3B%2F%21%23%3F%3D%26"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fon::UrlEncode(c.text), c.expected) << c.text;
  }
}

TEST(UrlEncode, EveryByte) {
  // Only ASCII letters, digits and ' ( ) * - . _ pass unchanged.
  const std::string kept = "'()*-._";
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const bool copied = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                        kept.find(c) != std::string::npos;
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned>(b));
    EXPECT_EQ(fon::UrlEncode(std::string(1, c)), copied ? std::string(1, c) : std::string(escaped))
        << "byte " << b;
  }
}

}  // namespace
