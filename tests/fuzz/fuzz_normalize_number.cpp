// Arbitrary bytes through the normaliser and the dialog's input check: a
// bounded result of digits (a short one may keep its "+"), 00 stays 00 and
// loses at most its trunk zero, the in-place form agrees, a clean caller stays;
// the same bytes as the body of a tel: link give a number of the same form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialout/dial_input.h"
#include "dialout/normalize_number.h"
#include "dialout/phone_link.h"

static void Check(bool condition) {
  if (!condition) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string out = fon::NormalizeNumber(input);
  Check(out.size() <= fon::kFilterKeepLimit + 1);
  for (std::size_t i = 0; i < out.size(); ++i) {
    Check((out[i] >= '0' && out[i] <= '9') || (i == 0 && out[i] == '+' && out.size() < 3));
  }
  if (out.size() >= 3 && !out.starts_with("00")) Check(fon::NormalizeNumber(out) == out);
  if (out.size() >= 4 && out.size() <= fon::kFilterKeepLimit && out.starts_with("00")) {
    const std::string again = fon::NormalizeNumber(out);
    Check(again.size() + 1 >= out.size() && again.starts_with("00"));
  }
  std::string reused(input), called(input), caller(input);
  fon::NormalizeNumberInPlace(reused);
  const fon::DialInput result = fon::PrepareDialNumbers(called, caller);
  Check(reused == out && called == out && !fon::CleanCallerNumber(caller));
  Check(result != fon::DialInput::kReady || (called.size() >= 2 && caller.size() >= 2));
  const std::optional<std::string> linked = fon::PhoneLinkNumber("tel:" + std::string(input));
  Check(!linked || (!linked->empty() && linked->size() <= fon::kFilterKeepLimit + 1));
  return 0;
}
