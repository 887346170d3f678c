// The program's own command-line options.
#pragma once

#include <string>

namespace fon::win32 {

// The file named by "--log FILE" (the name may be quoted), or "" when the
// option is absent or has no file name.
std::string LogFileOption(const std::string& commandLine);

// The link named by "--link LINK" (how the shell starts the program for a
// tel: or callto: link), or "" when absent.
std::string LinkOption(const std::string& commandLine);

}  // namespace fon::win32
