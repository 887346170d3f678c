#include "platform/win32/browser_command.h"

#include <algorithm>
#include <cctype>

namespace fon::win32 {

std::string QuoteBrowserArgument(const std::string& address) {
  std::string quoted = "\"";
  std::size_t start = 0;
  // Leading blanks vanish when the argument is parsed, so they do not stop
  // a '-' behind them from reading as a switch.
  while (start < address.size() && (address[start] == ' ' || address[start] == '\t')) ++start;
  for (std::size_t i = start; i < address.size(); ++i) {
    char c = address[i];
    if (c == '"') {
      quoted += "%22";
    } else if (c == '-' && i == start) {
      quoted += "%2D";
    } else if (c == '\0') {
      break;  // the command line ends at a zero byte anyway
    } else {
      quoted += c;
    }
  }
  // Backslashes right before the closing quote would escape it.
  std::size_t trailing = 0;
  for (std::size_t i = quoted.size(); i > 1 && quoted[i - 1] == '\\'; --i) ++trailing;
  quoted.append(trailing, '\\');
  quoted += '"';
  return quoted;
}

std::string BrowserParameters(const std::string& executable, const std::string& address) {
  std::string name = executable;
  std::size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string argument = QuoteBrowserArgument(address);
  return name == "iexplore.exe" ? "-new " + argument : argument;
}

}  // namespace fon::win32
