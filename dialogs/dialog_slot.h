// Where the frame keeps one kind of command dialog while it runs: the frame
// brings it to the front when its command comes again, replaces it, or
// cancels it at exit. The dialog belongs to the call that runs it, which
// deletes it once Run has returned.
#pragma once

#include "dialogs/command_dialog.h"

class CDialogSlot {
 public:
  CDialogSlot() = default;
  CDialogSlot(const CDialogSlot&) = delete;
  CDialogSlot& operator=(const CDialogSlot&) = delete;

  // The dialog of this slot that is running now, if any.
  bool IsOpen() const { return current_ != nullptr && current_->IsOpen(); }
  CCommandDialog* Current() const { return IsOpen() ? current_ : nullptr; }

  // Runs `dialog` modally in this slot; returns its code. A dialog still
  // open in the slot is cancelled first (it returns from its own Run once
  // the loops above it have).
  int Run(CCommandDialog& dialog) {
    Cancel();
    current_ = &dialog;
    int code = dialog.DoModal();
    if (current_ == &dialog) current_ = nullptr;
    return code;
  }

  // Brings the open dialog to the front; false when none is open.
  bool BringToFront() {
    if (!IsOpen()) return false;
    current_->BringToFront();
    return true;
  }

  void Cancel() {
    if (IsOpen()) current_->Cancel();
  }

 private:
  CCommandDialog* current_ = nullptr;
};
