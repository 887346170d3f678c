#include "calls/url_encode.h"

namespace fon {

namespace {

constexpr std::string_view kReserved = "\"<>%\\^[]`+$,@:;/!#?=&";
static_assert(kReserved.size() == 21);

bool MustEscape(char c) {
  // Bytes 128..255 are negative as signed chars and so fall below 33.
  const auto value = static_cast<signed char>(c);
  return value < 33 || value > 122 || kReserved.find(c) != std::string_view::npos;
}

}  // namespace

std::string UrlEncode(std::string_view text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (MustEscape(c)) {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace fon
