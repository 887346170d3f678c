// The dial-out dialog: the user picks one of their own telephones (the
// caller) and the number to call, and the server connects the two
// (QUICKCALL). It stays open until the server confirms the call or the user
// cancels, so that a failed attempt can be tried again.
#pragma once

#include <string>

#include "common/id_string_list.h"
#include "dialogs/command_dialog.h"
#include "dialogs/dialog_relay.h"

class CDialoutDialog final : public CCommandDialog, public IDialogRelayOwner {
 public:
  // The caller boxes offer `devices` then `extraCallers`; a typed caller
  // that is no device joins `extraCallers`. `deviceMode` 0 lets the user
  // only choose a device. `fromHotkey`: the called number is a selection
  // copied from another program and is normalised before it is shown.
  CDialoutDialog(IDialogHost& host, const CIdStringList& devices, CIdStringList& extraCallers, int deviceMode,
                 bool fromHotkey);
  ~CDialoutDialog() override;

  // The number to call, before the dialog runs.
  void SetCalled(const std::string& number) { m_strCalled = number; }

  void OnDialogRelayAnswer(const std::string& answer) override;

 protected:
  void OnInit() override;
  void OnOK() override;
  void OnEnd() override;

 private:
  void ToControls();
  void FromControls();
  bool IsDevice(const std::string& caller) const;
  bool InHistoryList(const std::string& number);

  const CIdStringList& devices_;
  CIdStringList& extraCallers_;
  const int deviceMode_;
  const bool fromHotkey_;

  int m_nUserId = 0;
  std::string m_strCaller;        // the editable caller box
  std::string m_strCallerChoice;  // the caller list
  std::string m_strCalled;
  std::string m_strRequest;
  CDialogRelay relay_;
};
