// The dialog shown once after a start or a login when the server reports a
// forced profile: the user keeps it, picks another one or releases it.
#pragma once

#include <string>

#include "dialogs/command_dialog.h"
#include "dialogs/dialog_relay.h"
#include "profiles/profile_state.h"
#include "profiles/profile_switch.h"

class CInformActiveProfile final : public CCommandDialog, private IDialogRelayOwner {
 public:
  // `server` is the relay server's address. The choice is sent while it
  // holds `profileSwitch`, so that no other switch overtakes it.
  CInformActiveProfile(IDialogHost& host, const CProfileState& profiles, CProfileSwitch& profileSwitch,
                       std::string server);

  // The forced profile's id as the server sent it; its name comes from the
  // profile list (none when the list does not have it).
  void SetActiveProfile(const std::string& profileId);
  const std::string& ActiveName() const { return m_strActiveName; }
  // The request line the last OK built ("" before).
  const std::string& Request() const { return m_strRequest; }

 private:
  void OnInit() override;
  void OnOK() override;
  void OnEnd() override;
  void OnDialogRelayAnswer(const std::string& answer) override;
  void OnDialogRelayFailed() override { switch_.Release(SwitchPurpose::kChoice); }
  std::string ChosenName();

  const CProfileState& profiles_;
  CProfileSwitch& switch_;
  const std::string m_strServer;
  std::string m_strActiveName;
  std::string m_strChoice;
  std::string m_strRequest;
  CDialogRelay relay_;
};
