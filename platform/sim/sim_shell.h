// The browser, message boxes and the session's user, recorded.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace fon::sim {

class SimShell : public IShell {
 public:
  void OpenInBrowser(const std::string& address) override { browserOpened.push_back(address); }
  void OpenSettingsPage(const std::string& page) override { settingsPagesOpened.push_back(page); }
  void MessageBox(const std::string& text, const std::string& caption) override {
    messageBoxes.push_back(caption + ": " + text);
  }
  std::string UserName() override { return userName; }
  std::string ModulePath() override { return modulePath; }

  std::vector<std::string> browserOpened;
  std::vector<std::string> messageBoxes;
  std::vector<std::string> settingsPagesOpened;
  std::string userName = "tester";
  std::string modulePath = "C:\\Program Files\\Fonaris\\fonaris.exe";

 protected:
  ~SimShell() override = default;
};

}  // namespace fon::sim
