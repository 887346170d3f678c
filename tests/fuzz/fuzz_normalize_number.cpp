// Feeds arbitrary bytes to the number normaliser and the dialog's input
// check and holds them to what they promise: a bounded result of digits
// (a short result may keep its leading "+"), international input leaves as
// 00 with at most its trunk zero gone, the in-place form agrees, and a
// cleaned caller needs no second cleaning.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialout/dial_input.h"
#include "dialout/normalize_number.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string out = fon::NormalizeNumber(input);
  Check(out.size() <= fon::kFilterKeepLimit + 1);
  for (std::size_t i = 0; i < out.size(); ++i) {
    Check(IsDigit(out[i]) || (i == 0 && out[i] == '+' && out.size() < 3));
  }
  if (out.size() >= 3 && out.starts_with("0") && !out.starts_with("00")) Check(fon::NormalizeNumber(out) == out);
  if (out.size() >= 4 && out.size() <= fon::kFilterKeepLimit && out.starts_with("00")) {
    const std::string again = fon::NormalizeNumber(out);
    Check(again.size() + 1 >= out.size() && again.starts_with("00"));
  }
  std::string reused(input);
  fon::NormalizeNumberInPlace(reused);
  Check(reused == out);

  std::string called(input), caller(input);
  const fon::DialInput result = fon::PrepareDialNumbers(called, caller);
  Check(called == out && !fon::CleanCallerNumber(caller));
  Check(result != fon::DialInput::kReady || (called.size() >= 2 && caller.size() >= 2));
  return 0;
}
