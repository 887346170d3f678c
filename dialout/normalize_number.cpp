#include "dialout/normalize_number.h"

#include <algorithm>

#include "dialout/country_codes.h"

namespace fon {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Appends to out (already reserved) the characters of number that survive
// the filter; out may be number itself, since writing never passes reading.
void FilterInto(std::string_view number, std::string& out) {
  const std::size_t readable = std::min(number.size(), kNumberReadLimit);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < readable && kept < kFilterKeepLimit; ++i) {
    const char c = number[i];
    if (IsDigit(c) || (c == '+' && kept == 0)) {
      if (out.size() > kept) {
        out[kept] = c;
      } else {
        out.push_back(c);
      }
      ++kept;
    }
  }
  out.resize(kept);
}

std::size_t TrunkZeroPosition(std::string_view number) {
  if (number.size() <= 3) return std::string_view::npos;
  const CountryCode* row = FindCountryCode(number);
  if (row == nullptr || row->keepZero || number[row->code.size()] != '0') return std::string_view::npos;
  return row->code.size();
}

void FinishFiltered(std::string& number) {
  if (number.size() < 3) return;
  if (number[0] == '+') {
    number[0] = '0';
    number.insert(number.begin(), '0');
  } else if (number[0] != '0' || number[1] != '0') {
    return;  // national: final as filtered
  }
  StripCountryTrunkZeroInPlace(number);
}

}  // namespace

void StripCountryTrunkZeroInPlace(std::string& number) {
  const std::size_t zero = TrunkZeroPosition(number);
  if (zero != std::string_view::npos) number.erase(zero, 1);
}

std::string StripCountryTrunkZero(std::string_view number) {
  std::string out(number);
  StripCountryTrunkZeroInPlace(out);
  return out;
}

void NormalizeNumberInPlace(std::string& number) {
  FilterInto(number, number);
  FinishFiltered(number);
}

std::string NormalizeNumber(std::string_view number) {
  std::string out;
  out.reserve(std::min(number.size(), kFilterKeepLimit) + 1);
  FilterInto(number, out);
  FinishFiltered(out);
  return out;
}

}  // namespace fon
