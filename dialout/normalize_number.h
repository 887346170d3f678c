#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fon {

// Working limits: only the first kNumberReadLimit characters of a number are
// looked at, and the filter keeps at most kFilterKeepLimit characters, so a
// result never exceeds kFilterKeepLimit + 1 (a leading "+" becomes "00").
// Longer input is not a telephone number; it is cut, never overrun.
inline constexpr std::size_t kNumberReadLimit = 1023;
inline constexpr std::size_t kFilterKeepLimit = 253;

// Brings a called number into the one form the server dials: digits 0-9
// only, a "+" kept only before the first digit and then written as 00, and
// for international numbers the trunk zero behind the country code removed.
// Results shorter than 3 characters are returned as filtered (so "+4" stays).
std::string NormalizeNumber(std::string_view number);

// The same, working in the caller's string: the filter writes behind where
// it reads, so nothing is allocated except, at most once, one character more
// when a "+" becomes 00 and the string has no spare capacity.
void NormalizeNumberInPlace(std::string& number);

// The table step for an international number (beginning with 00): removes
// the single 0 right after the first fitting country code unless that code
// keeps it. Numbers of 3 characters or fewer, and numbers no code fits, are
// returned unchanged.
std::string StripCountryTrunkZero(std::string_view number);
void StripCountryTrunkZeroInPlace(std::string& number);

}  // namespace fon
