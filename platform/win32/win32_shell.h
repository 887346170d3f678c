// The browser, message boxes, the session's user and the program's path.
#pragma once

#include "platform/shell.h"
#include "platform/win32/windows_headers.h"

#include <functional>

namespace fon::win32 {

class Win32Shell final : public IShell {
 public:
  // Finds the browser executable; the system's registered "http" handler
  // unless a test supplies a stand-in.
  using BrowserLocator = std::function<std::string()>;

  explicit Win32Shell(BrowserLocator locateBrowser = &Win32Shell::DefaultBrowser)
      : locateBrowser_(std::move(locateBrowser)) {}

  void OpenInBrowser(const std::string& address) override;
  void OpenSettingsPage(const std::string& page) override;
  void MessageBox(const std::string& text, const std::string& caption) override;
  std::string UserName() override;
  std::string ModulePath() override;

  // The browser executable registered for "http" addresses.
  static std::string DefaultBrowser();

 private:
  BrowserLocator locateBrowser_;
};

}  // namespace fon::win32
