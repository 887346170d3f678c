#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace fon {

// One row of the country code table: the code with its international
// prefix 00, and whether a 0 behind it is part of the number (kept) or the
// national trunk zero (removed).
struct CountryCode {
  std::string_view code;
  bool keepZero;
};

// A code only counts when at least this many characters follow it.
inline constexpr std::size_t kMinDigitsAfterCode = 3;

// All 261 rows in lookup order.
std::span<const CountryCode> CountryCodes();

// The first row, in table order, whose code begins the number and leaves at
// least kMinDigitsAfterCode characters behind it; rows that begin the number
// but leave fewer are passed over. nullptr when no row fits.
const CountryCode* FindCountryCode(std::string_view number);

}  // namespace fon
