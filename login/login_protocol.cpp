#include "login/login_protocol.h"

#include "common/c_atoi.h"
#include "common/debug_text.h"
#include "text_ids.h"

namespace fon {

namespace {

constexpr std::string_view kAccepted = "+OK";
constexpr char kHiddenPassword[] = "********";

// The debug lines quote the answer into the same bounded buffer as every
// other diagnostic: a 4 KB answer is cut, never written past the end.
std::string Quote(const char* format, std::string_view answer) {
  const std::string text(answer);
  return FormatBounded(format, text.c_str());
}

}  // namespace

std::string LoginRequest(const std::string& name, const std::string& password) {
  return "CTILOGIN|" + name + "|" + password;
}

std::string LoginRequestShown(const std::string& name) { return LoginRequest(name, kHiddenPassword); }

LoginReaction ReactToLoginAnswer(std::string_view answer) {
  LoginReaction reaction;
  const std::size_t bar = answer.find('|');
  // Something must follow the bar: "+OK|" alone is no answer.
  const bool wellFormed = bar != std::string_view::npos && bar > 0 && bar + 1 < answer.size() &&
                          answer.substr(0, bar) == kAccepted;
  if (wellFormed) {
    std::string_view rest = answer.substr(bar + 1);
    std::string_view idText = rest;
    std::string_view parentText;
    const std::size_t second = rest.find('|');
    if (second != std::string_view::npos && second > 0) {
      idText = rest.substr(0, second);
      parentText = rest.substr(second + 1);
    }
    reaction.stores = true;
    reaction.userId = Atoi(idText);
    reaction.parentUserId = Atoi(parentText);
    reaction.texts.push_back(text::kLoginSuccessful);
    reaction.closes = true;
  } else {
    reaction.debug.push_back(
        Quote("ERROR: Relay answers to LOGIN request with an invalid message structure: '%s'\n", answer));
  }
  if (reaction.userId == 0) {
    reaction.debug.push_back(Quote("Error at Login: '%s'", answer));
    reaction.texts.push_back(text::kLoginFailed);
  }
  return reaction;
}

LoginReaction ReactToRegistrationAnswer(std::string_view answer) {
  LoginReaction reaction;
  reaction.debug.push_back(Quote("Relay answers to LOGIN request: %s\n", answer));
  const std::size_t bar = answer.find('|');
  // Without a bar there is no status at all, so a bare "+OK" is a refusal.
  const std::string_view status = bar == std::string_view::npos ? std::string_view() : answer.substr(0, bar);
  const std::string_view rest = bar == std::string_view::npos ? answer : answer.substr(bar + 1);
  if (status == kAccepted) {
    reaction.stores = true;
    reaction.userId = Atoi(rest);
    reaction.texts.push_back(text::kLoginSuccessful);
    reaction.closes = true;
  } else {
    reaction.debug.push_back(Quote("Error at Login: %s", rest));
    reaction.texts.push_back(text::kLoginFailed);
  }
  return reaction;
}

}  // namespace fon
