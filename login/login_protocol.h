// The CTILOGIN exchange: the request line and what the two dialogs that send
// it (the tray's login and the registration at a first start) make of the
// answer. Kept apart from the dialogs so that every answer can be checked
// without a window or a connection.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fon {

// "CTILOGIN|" + name + "|" + password, as typed: a "|" inside either is not
// protected.
std::string LoginRequest(const std::string& name, const std::string& password);
// The same request as the diagnostics show it: the password never reaches
// the debug output or the log file, whatever its length.
std::string LoginRequestShown(const std::string& name);

// What a dialog does about one answer, in this order: store the ids it got,
// write the debug lines, show the texts, end with IDOK when `closes`.
struct LoginReaction {
  bool stores = false;
  int userId = 0;
  int parentUserId = 0;
  std::vector<std::string> debug;
  std::vector<int> texts;
  bool closes = false;
};

// The tray's login: a well-formed "+OK|id[|parent]" stores both ids and
// closes; whenever the user id comes out 0 the user hears of a failure as
// well, so "+OK|abc|1" both succeeds and fails.
LoginReaction ReactToLoginAnswer(std::string_view answer);
// The registration: only the status decides; the ids of the user and the
// parent are not told apart (the parent is not stored).
LoginReaction ReactToRegistrationAnswer(std::string_view answer);

}  // namespace fon
