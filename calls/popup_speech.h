// What a screen reader says of a popup: its lines as one sentence in the
// current language, free of control characters and of bounded length
// whatever the server sent.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/windowing.h"

namespace fon {

// Longest text of one field in a spoken name.
inline constexpr std::size_t kSpokenFieldChars = 200;

// `text` with every control character turned into a space and cut after
// `limit` characters; bytes of the code page's upper half stay.
std::string CleanForSpeech(const std::string& text, std::size_t limit);

// The popup's content for assistive technology. `texts` looks up a text
// entry in the current language; `lastCall` picks the "Last call" wording;
// `withInfo` names the Info button.
PopupAccessibility CallAccessibility(const std::function<std::string(int)>& texts, bool lastCall,
                                     const std::string& callerName, const std::string& calledNo,
                                     const std::string& time, const std::string& redirInfo, bool withInfo);
// An information popup: its title and its text.
PopupAccessibility InfoAccessibility(const std::function<std::string(int)>& texts, const std::string& text,
                                     bool withInfo);

}  // namespace fon
