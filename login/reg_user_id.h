// The registration at a start without a valid user id: login name and
// password, and the server's address and relay port, because none may be
// configured yet. The request goes to the typed server; on success the user
// id and that server are stored. IDOK lets the start go on, IDCANCEL ends it.
#pragma once

#include <string>

#include "dialogs/command_dialog.h"
#include "dialogs/dialog_relay.h"
#include "res/resource.h"

class CRegUserID final : public CCommandDialog, public IDialogRelayOwner {
 public:
  static constexpr int kTemplate = IDD_REGISTER;

  // Loads the presets: the Windows user name, the stored server address
  // and relay port (each with its own range rule).
  explicit CRegUserID(IDialogHost& host);

  void OnDialogRelayAnswer(const std::string& answer) override;

 private:
  void OnInit() override;
  void OnOK() override;
  void OnEnd() override { relay_.Cancel(); }

  CDialogRelay relay_;
  std::string m_strLoginName;
  std::string m_strPassword;
  std::string m_strServerAddress;
  std::string m_strRequest;
  int m_nRelayPort = 0;
};
