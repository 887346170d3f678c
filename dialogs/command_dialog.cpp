#include "dialogs/command_dialog.h"

#include "dialogs/dialog_data.h"

CCommandDialog::CCommandDialog(IDialogHost& host, int templateId)
    : host_(host), templateId_(templateId), window_(host.Platform().CreateDialogWindow(this)) {}

CCommandDialog::~CCommandDialog() {
  // The window goes first: it must not call back into a half-destroyed
  // dialog.
  window_.reset();
}

int CCommandDialog::DoModal() {
  if (open_ || ended_) return -1;
  open_ = true;
  int code = window_->DoModal(templateId_, host_.Handle());
  if (open_) {
    // The template could not be shown, or the loop ended without us.
    open_ = false;
    ended_ = true;
    OnEnd();
  }
  return code;
}

void CCommandDialog::BringToFront() {
  if (open_) window_->BringToFront();
}

void CCommandDialog::Cancel() {
  if (open_) OnCancel();
  // A dialog whose own Cancel does not end it is ended all the same.
  if (open_) EndDialog(fon::kIdCancel);
}

void CCommandDialog::EndDialog(int code) {
  if (!open_) return;
  open_ = false;
  ended_ = true;
  host_.Platform().Timers().KillAllTimers(this);
  OnEnd();
  window_->EndDialog(code);
}

void CCommandDialog::OnInitDialog() {
  // The owner is the hidden frame: without this the dialog would sit at the
  // template's corner of the screen.
  window_->Center();
  OnInit();
}

void CCommandDialog::OnCommand(int id) {
  if (!open_) return;
  if (id == fon::kIdOk)
    OnOK();
  else if (id == fon::kIdCancel)
    OnCancel();
  else
    OnClicked(id);
}

bool CCommandDialog::ReadIntegerField(int id, int* value) {
  if (fon::ParseDialogInteger(window_->GetItemText(id), value)) return true;
  window_->RejectInput(id, fon::kEnterIntegerMessage);
  return false;
}
