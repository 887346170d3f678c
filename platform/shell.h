// What the client asks of the shell and the session: the browser, message
// boxes, the user and the program's own path.
#pragma once

#include <string>

namespace fon {

class IShell {
 public:
  virtual ~IShell() = default;
  // Opens an address in a new browser window. The address is only ever an
  // argument to the browser, never a command.
  virtual void OpenInBrowser(const std::string& address) = 0;
  // Opens a page of Windows' own settings ("ms-settings:...").
  virtual void OpenSettingsPage(const std::string& page) = 0;
  virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
  virtual std::string UserName() = 0;
  virtual std::string ModulePath() = 0;
};

}  // namespace fon
