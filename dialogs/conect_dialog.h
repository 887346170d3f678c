// The configuration dialog: every setting of the client in one skinned
// dialog, edited on a working copy and written back only by OK, which then
// asks the frame to apply it.
#pragma once

#include <string>
#include <vector>

#include "common/id_string_list.h"
#include "dialogs/command_dialog.h"
#include "dialogs/conect_settings.h"

// What the configuration needs of the frame beyond any command dialog: the
// lists the server sent and the step that makes new settings count.
class IConectDialogOwner {
 public:
  virtual const CIdStringList& ConfigProfiles() const = 0;
  virtual const CIdStringList& ConfigDevices() const = 0;
  // 1: any number may be the default number; 0: one of the devices.
  virtual int ConfigDeviceMode() const = 0;
  // A typed default number that is none of the devices joins their list.
  virtual void AddConfigDevice(const std::string& number) = 0;
  virtual void ApplySettings() = 0;
  // Windows opens tel: links with another program, by the user's choice.
  virtual bool PhoneLinksChosenElsewhere() = 0;
  // Windows' page where the user chooses the default apps.
  virtual void OpenDefaultApps() = 0;

 protected:
  ~IConectDialogOwner() = default;
};

class CConectDialog final : public CCommandDialog {
 public:
  // Loads the working copy; tells the user when the settings key cannot be
  // created (the dialog then shows the defaults).
  CConectDialog(IDialogHost& host, IConectDialogOwner& owner);

 protected:
  void OnInit() override;
  void OnOK() override;
  void OnClicked(int id) override;
  void OnSelectionChange(int id) override;

 private:
  // A text entry in the dialog's own language.
  std::string Text(int id);
  void ShowLabels();
  void FillShowCalls();
  void FillControls();
  // Reads the controls into the working copy; false when a number field
  // holds no integer (the user has been told, nothing is changed).
  bool ReadControls();
  void EnableIdleControls();
  void EnableEndProfileControls();

  IConectDialogOwner& owner_;
  fon::ConectSettings m_settings;
  std::vector<std::string> m_devices;  // the server's order
};
