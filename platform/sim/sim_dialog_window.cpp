#include "platform/sim/sim_dialog_window.h"

namespace fon::sim {

SimDialogWindow::SimDialogWindow(SimLoop& loop, const SimModalScripts& scripts,
                                 std::shared_ptr<SimDialogRecord> record, IDialogEvents* events)
    : loop_(loop), scripts_(scripts), record_(std::move(record)) {
  record_->events = events;
}

SimDialogWindow::~SimDialogWindow() {
  record_->destroyed = true;
  record_->visible = false;
  record_->events = nullptr;
}

bool SimDialogWindow::CreateModeless(int templateId, WindowHandle /*parent*/) {
  record_->templateId = templateId;
  record_->created = true;
  if (record_->events) record_->events->OnInitDialog();
  return true;
}

int SimDialogWindow::DoModal(int templateId, WindowHandle /*parent*/) {
  record_->templateId = templateId;
  record_->created = true;
  record_->modal = true;
  record_->visible = true;
  std::shared_ptr<SimDialogRecord> record = record_;
  if (record->events) record->events->OnInitDialog();
  auto script = scripts_.find(templateId);
  if (script != scripts_.end()) {
    script->second(*record);
  } else {
    record->Press(kIdCancel);
  }
  // The dialog's own modal loop: timers and sockets keep running.
  if (!loop_.RunUntil([record]() { return record->ended; })) {
    if (!record->ended) return -1;
  }
  record->visible = false;
  return record->endCode;
}

void SimDialogWindow::EndDialog(int code) {
  record_->ended = true;
  record_->endCode = code;
  record_->visible = false;
}

void SimDialogWindow::SetItemText(int id, const std::string& text) { record_->items[id] = text; }

std::string SimDialogWindow::GetItemText(int id) { return record_->items[id]; }

void SimDialogWindow::SetLabelWhite(int id, bool white) {
  if (white)
    record_->whiteLabels.insert(id);
  else
    record_->whiteLabels.erase(id);
}

void SimDialogWindow::Center() { record_->centered = true; }

void SimDialogWindow::Show(bool visible) { record_->visible = visible; }

void SimDialogWindow::RedrawNow() { ++record_->redraws; }

void SimDialogWindow::BringToFront() { ++record_->broughtToFront; }

void SimDialogWindow::Destroy() {
  record_->destroyed = true;
  record_->visible = false;
}

WindowHandle SimDialogWindow::Handle() const { return record_->handle; }

}  // namespace fon::sim
