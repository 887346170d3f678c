// The exit warning: the end profile could not be sent (or was refused), and
// the user decides whether to end all the same.
#pragma once

#include "dialogs/command_dialog.h"

class CExitErrorDlg final : public CCommandDialog {
 public:
  explicit CExitErrorDlg(IDialogHost& host);

 protected:
  void OnInit() override;
};
