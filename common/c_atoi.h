#pragma once

#include <climits>
#include <string_view>

namespace fon {

// Reads a decimal number the way the C runtime's atoi does: optional leading
// white space, an optional sign, then digits; anything else ends the number,
// and a text without digits gives 0. Out-of-range values saturate at INT_MAX
// or INT_MIN, as the Windows runtime does, instead of being undefined.
// Works on raw bytes, so bytes above 127 are never passed to <cctype>.
constexpr int Atoi(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v' ||
                             text[i] == '\f' || text[i] == '\r')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : static_cast<long long>(INT_MAX);
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) {
      magnitude = limit;  // keep consuming digits, the value stays saturated
    }
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace fon
