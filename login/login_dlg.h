// The login from the tray menu: user name and password, checked by the
// relay port against the server stored in the settings; on success the
// user's id and the parent's id are stored. The frame keeps one at a time.
#pragma once

#include <string>

#include "dialogs/command_dialog.h"
#include "dialogs/dialog_relay.h"
#include "res/resource.h"

class CLoginDlg final : public CCommandDialog, public IDialogRelayOwner {
 public:
  static constexpr int kTemplate = IDD_LOGIN;

  explicit CLoginDlg(IDialogHost& host);

  // The answer, or each piece of one the network split.
  void OnDialogRelayAnswer(const std::string& answer) override;

 private:
  void OnInit() override;
  void OnOK() override;
  void OnEnd() override { relay_.Cancel(); }

  CDialogRelay relay_;
  std::string m_strUserName;
  std::string m_strPassword;
  std::string m_strRequest;
  std::string m_strServerAddress;
  int m_nRelayPort = 0;
  std::string m_strTitle;
  std::string m_strUserLabel;
  std::string m_strPasswordLabel;
};
