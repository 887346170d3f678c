// Arbitrary answers (up to the first zero byte, as the relay socket hands
// them on) through the login's and the registration's reactions: success
// and closing go together, every failure is shown, debug lines are bounded,
// and only "+OK|" answers store anything.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/debug_text.h"
#include "login/login_protocol.h"
#include "text_ids.h"

static void Check(bool condition) {
  if (!condition) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
  const bool accepted = text.starts_with("+OK|");
  const fon::LoginReaction login = fon::ReactToLoginAnswer(text), reg = fon::ReactToRegistrationAnswer(text);
  for (const fon::LoginReaction* r : {&login, &reg}) {
    Check(r->stores == r->closes && !r->texts.empty() && r->texts.size() <= 2);
    Check(r->texts.front() == (r->stores ? fon::text::kLoginSuccessful : fon::text::kLoginFailed));
    for (const std::string& line : r->debug) Check(!line.empty() && line.size() <= fon::kDebugTextCapacity);
  }
  Check(login.stores == (accepted && text.size() > 4));
  Check((login.userId == 0) == (login.texts.back() == fon::text::kLoginFailed));
  Check(login.debug.size() == (login.stores ? 0u : 1u) + (login.userId == 0 ? 1u : 0u));
  Check(reg.stores == accepted && reg.texts.size() == 1 && reg.parentUserId == 0);
  Check(reg.debug.size() == (accepted ? 1u : 2u) &&
        reg.debug[0].starts_with("Relay answers to LOGIN request: "));
  return 0;
}
