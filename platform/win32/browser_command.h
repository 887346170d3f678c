// Building the browser's command-line parameters for an address. The address
// comes from settings and call data, so it must reach the browser as exactly
// one argument and never as a switch or a second argument.
#pragma once

#include <string>

namespace fon::win32 {

// The address as one quoted command-line argument: double quotes inside are
// percent-encoded, backslashes before the closing quote are doubled so that
// the quote is not escaped, and a leading '-' is percent-encoded so that the
// browser cannot take the address for a switch.
std::string QuoteBrowserArgument(const std::string& address);

// The parameters for starting `executable` with the address in a new window.
// Internet Explorer needs "-new" for that; other browsers open a new window
// or tab for an address argument on their own.
std::string BrowserParameters(const std::string& executable, const std::string& address);

}  // namespace fon::win32
