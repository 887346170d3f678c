#pragma once

#include <string>
#include <string_view>

namespace fon {

// The values of one call that can be inserted into the CRM address.
struct CrmValues {
  std::string callerNo, callerName, calledNo, redirInfo, callId, calledUserId, parentUserIdText;
  int userId = 0;
  std::string serverAddress;
};

// Fills the CRM address template. The placeholders {CALLERNO},
// {CALLERNAME}, {CALLEDNO}, {REDIRINFO}, {CALLID}, {CALLEDUSERID},
// {CALLEDPARENTUSERID}, {USERID} and {MTHOST} are replaced one after the
// other, each at every occurrence (exact, case-sensitive), by its URL-encoded
// value. Encoded values hold no braces, so a value never forms a placeholder.
std::string BuildCrmUrl(std::string_view tmpl, const CrmValues& values);

}  // namespace fon
