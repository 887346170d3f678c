// The small notice shown while the client connects to the server at start-up
// and after the settings were saved. It has no buttons of its own.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "res/resource.h"
#include "settings/settings_store.h"

class CWaitForConnectDlg final : public fon::IDialogEvents {
 public:
  static constexpr int kTemplate = IDD_WAIT;
  static constexpr int kMessageLabel = IDC_WAIT_TEXT;

  // Loads the notice in the stored language.
  CWaitForConnectDlg(fon::IPlatform& platform, fon::SettingsStore& settings);
  ~CWaitForConnectDlg();

  // Creates the window modeless over `parent`, centres, shows and paints it
  // at once, so that it is seen before the connect starts.
  bool CreateAndShow(fon::WindowHandle parent);
  void Hide();
  bool HasWindow() const { return window_ != nullptr; }
  const std::string& Message() const { return m_strMessage; }

  void OnInitDialog() override;
  void OnCommand(int id) override;

 private:
  fon::IPlatform& platform_;
  int m_nLanguageIndex = 1;
  std::string m_strLanguage;
  std::string m_strMessage =
      "Bitte haben Sie einen Moment Geduld. Der Fonaris versucht eine Verbindung zum Server aufzubauen.";
  std::unique_ptr<fon::IDialogWindow> window_;
};
