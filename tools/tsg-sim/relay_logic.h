#pragma once

#include <string>
#include <string_view>

#include "users.h"

namespace tsgsim {

struct RelayReply {
    std::string answer;  // the bytes to send back
    std::string note;    // extra log text (QUICKCALL details, state changes); may be empty
};

// Command word of a request: the text before the first '|' (the whole
// request when it has none).
std::string_view CommandWord(std::string_view request);

// Whether a request that came without its terminating zero byte is complete
// already: true for a command the client sends without zero byte once all of
// its separators are there.
bool CompleteWithoutZero(std::string_view request);

// Answers one relay request (without its terminating zero byte) and applies
// its effect on the users' forced profiles.
RelayReply AnswerRelayRequest(UserDb& users, std::string_view request);

} // namespace tsgsim
