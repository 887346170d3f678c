#pragma once

#include <string>
#include <string_view>

namespace fon {

// The call fields of one CTI event message.
struct CtiFields {
  std::string callId, callerName, callerNo, calledNo, calledUserId, redirInfo;
  int messageUserId = 0;
  bool isErr = false;  // CALLEDNO was "+ERR": the message is to be dropped
};

// Splits one received message into its call fields.
//
// The message's last character is its terminator and is dropped. The fields
// are found by searching "|" from where the previous field began; a search
// that fails restarts the next one at the start of the text, so messages
// with too few separators give empty or shifted fields rather than being
// rejected. When CALLEDNO is "+ERR" parsing stops with isErr set: CALLID,
// CALLERNAME, CALLERNO and CALLEDNO are filled, REDIRINFO and CALLEDUSERID
// stay empty. messageUserId is CALLEDUSERID read like atoi (saturating).
CtiFields ParseCtiMessage(std::string_view message);

// Time of day of a ctime() text, with one space before and one after:
// "Tue Dec  8 07:05:03 2026\n" gives " 07:05:03 ". The leading space is the
// last one before the first ':' (the day is space-padded, so counting spaces
// from the start would not work); the year and line end (last five
// characters) are dropped. A text without ':' or too short for the year
// yields "".
std::string ReceiveTimeOfDay(std::string_view ctimeText);

}  // namespace fon
