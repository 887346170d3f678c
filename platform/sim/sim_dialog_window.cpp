#include "platform/sim/sim_dialog_window.h"

#include <algorithm>
#include <cstddef>

#include "res/resource.h"

namespace fon::sim {

namespace {

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Compares as a sorted list box does (without regard to case).
int CompareNoCase(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = Fold(static_cast<unsigned char>(a[i]));
    unsigned char y = Fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool ValidIndex(const SimCombo& combo, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < combo.entries.size();
}

}  // namespace

void SimDialogRecord::Choose(int id, int index) {
  SimCombo& combo = combos[id];
  if (!Usable(id) || !ValidIndex(combo, index)) return;
  combo.selection = index;
  items[id] = combo.entries[static_cast<std::size_t>(index)];
  events->OnSelectionChange(id);
}

bool SimDialogRecord::ChooseText(int id, const std::string& text) {
  const SimCombo& combo = combos[id];
  for (std::size_t i = 0; i < combo.entries.size(); ++i) {
    if (CompareNoCase(combo.entries[i], text) == 0) {
      Choose(id, static_cast<int>(i));
      return true;
    }
  }
  return false;
}


SimTabStops ProgramTabStops() {
  return {
#include "dialog_tab_stops.inc"
  };
}

SimDialogWindow::SimDialogWindow(SimLoop& loop, const SimModalScripts& scripts, const SimTabStops& tabStops,
                                 std::shared_ptr<SimDialogRecord> record, IDialogEvents* events)
    : loop_(loop), scripts_(scripts), tabStops_(tabStops), record_(std::move(record)) {
  record_->events = events;
}

void SimDialogWindow::FocusItem(int id) {
  record_->focus = id;
  if (initialising_) focusSetInInit_ = true;
}

void SimDialogWindow::Initialise() {
  std::shared_ptr<SimDialogRecord> record = record_;
  initialising_ = true;
  focusSetInInit_ = false;
  if (record->events) record->events->OnInitDialog();
  initialising_ = false;
  if (focusSetInInit_ || record->destroyed || record->ended) return;
  auto stops = tabStops_.find(record->templateId);
  if (stops == tabStops_.end()) return;
  for (const auto& [id, enabled] : stops->second) {
    if (enabled && !record->hidden.count(id) && !record->disabled.count(id)) {
      record->focus = id;
      return;
    }
  }
}

SimDialogWindow::~SimDialogWindow() {
  record_->destroyed = true;
  record_->visible = false;
  record_->events = nullptr;
}

bool SimDialogWindow::CreateModeless(int templateId, WindowHandle /*parent*/) {
  record_->templateId = templateId;
  record_->created = true;
  Initialise();
  return true;
}

int SimDialogWindow::DoModal(int templateId, WindowHandle /*parent*/) {
  record_->templateId = templateId;
  record_->created = true;
  record_->modal = true;
  record_->visible = true;
  std::shared_ptr<SimDialogRecord> record = record_;
  Initialise();
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

void SimDialogWindow::EnableItem(int id, bool enabled) {
  if (enabled)
    record_->disabled.erase(id);
  else
    record_->disabled.insert(id);
}

void SimDialogWindow::ShowItem(int id, bool visible) {
  if (visible)
    record_->hidden.erase(id);
  else
    record_->hidden.insert(id);
}

void SimDialogWindow::SetChecked(int id, bool checked) {
  if (checked)
    record_->checked.insert(id);
  else
    record_->checked.erase(id);
}

void SimDialogWindow::ComboReset(int id) {
  record_->combos[id] = SimCombo{};
  record_->items[id].clear();
}

int SimDialogWindow::ComboAdd(int id, const std::string& text) {
  SimCombo& combo = record_->combos[id];
  // After the equal entries already there, as a sorted list box inserts.
  auto at = std::upper_bound(combo.entries.begin(), combo.entries.end(), text,
                             [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
  auto index = static_cast<int>(at - combo.entries.begin());
  combo.entries.insert(at, text);
  if (combo.selection >= index) ++combo.selection;
  return index;
}

int SimDialogWindow::ComboCount(int id) { return static_cast<int>(record_->combos[id].entries.size()); }

std::string SimDialogWindow::ComboText(int id, int index) {
  const SimCombo& combo = record_->combos[id];
  return ValidIndex(combo, index) ? combo.entries[static_cast<std::size_t>(index)] : std::string();
}

int SimDialogWindow::ComboFindExact(int id, const std::string& text) {
  const SimCombo& combo = record_->combos[id];
  for (std::size_t i = 0; i < combo.entries.size(); ++i)
    if (CompareNoCase(combo.entries[i], text) == 0) return static_cast<int>(i);
  return -1;
}

int SimDialogWindow::ComboSelection(int id) { return record_->combos[id].selection; }

void SimDialogWindow::ComboSelect(int id, int index) {
  SimCombo& combo = record_->combos[id];
  combo.selection = ValidIndex(combo, index) ? index : -1;
  record_->items[id] = combo.selection >= 0 ? combo.entries[static_cast<std::size_t>(index)] : std::string();
}

void SimDialogWindow::SetHotkey(int id, unsigned virtualKey, unsigned flags) {
  record_->hotkeys[id] = {virtualKey & 0xFF, flags & 0xFF};
}

void SimDialogWindow::GetHotkey(int id, unsigned* virtualKey, unsigned* flags) {
  auto found = record_->hotkeys.find(id);
  if (virtualKey) *virtualKey = found != record_->hotkeys.end() ? found->second.first : 0;
  if (flags) *flags = found != record_->hotkeys.end() ? found->second.second : 0;
}

void SimDialogWindow::RejectInput(int id, const std::string& message) {
  record_->rejected.emplace_back(id, message);
  record_->focus = id;
}

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
