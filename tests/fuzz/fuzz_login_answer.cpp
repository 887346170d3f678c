// Arbitrary answers (up to the first zero byte, as the relay socket hands
// them on) through the reactions of the tray login and the registration:
// success and closing go together, every failure is shown, every debug line
// is bounded, and only "+OK|" answers store anything.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/debug_text.h"
#include "login/login_protocol.h"
#include "text_ids.h"

static void Check(bool condition) {
  if (!condition) __builtin_trap();
}

static void CheckCommon(const fon::LoginReaction& r) {
  Check(r.stores == r.closes && !r.texts.empty() && r.texts.size() <= 2);
  Check(r.texts.front() == (r.stores ? fon::text::kLoginSuccessful : fon::text::kLoginFailed));
  for (const std::string& line : r.debug) Check(!line.empty() && line.size() <= fon::kDebugTextCapacity);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string answer(reinterpret_cast<const char*>(data), size);
  const std::string text = answer.c_str();
  const bool accepted = text.starts_with("+OK|");

  const fon::LoginReaction login = fon::ReactToLoginAnswer(text);
  CheckCommon(login);
  Check(login.stores == (accepted && text.size() > 4));
  Check((login.userId == 0) == (login.texts.back() == fon::text::kLoginFailed));
  Check(login.debug.size() == (login.stores ? 0u : 1u) + (login.userId == 0 ? 1u : 0u));

  const fon::LoginReaction registration = fon::ReactToRegistrationAnswer(text);
  CheckCommon(registration);
  Check(registration.stores == accepted && registration.texts.size() == 1);
  Check(registration.debug.size() == (accepted ? 1u : 2u) && registration.debug[0].starts_with("Relay answers"));
  Check(registration.parentUserId == 0);
  return 0;
}
