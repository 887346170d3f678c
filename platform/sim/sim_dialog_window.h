// Dialogs whose modal runs follow a script per template.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_loop.h"
#include "platform/windowing.h"

namespace fon::sim {

// A combo box as the template makes it: entries kept sorted without regard
// to case.
struct SimCombo {
  std::vector<std::string> entries;
  int selection = -1;
};

struct SimDialogRecord {
  WindowHandle handle = 0;
  IDialogEvents* events = nullptr;
  int templateId = 0;
  bool created = false;
  bool modal = false;
  bool visible = false;
  bool centered = false;
  bool destroyed = false;
  bool ended = false;
  bool dragByFace = true;
  int endCode = 0;
  int redraws = 0;
  int broughtToFront = 0;
  std::map<int, std::string> items;
  std::set<int> whiteLabels;
  struct FaceText {
    Rect rect;
    std::string text;
    std::uint32_t colour = 0;
  } faceText;
  std::set<int> disabled;
  std::set<int> hidden;
  std::set<int> checked;
  std::map<int, SimCombo> combos;
  std::map<int, std::pair<unsigned, unsigned>> hotkeys;  // virtual key, flags
  int focus = 0;
  bool topmost = false;
  // Fields refused with a message box: the control and the message.
  std::vector<std::pair<int, std::string>> rejected;

  // What the user can do; like Windows, nothing happens on a disabled or
  // hidden control or on a dialog that has ended.
  bool Usable(int id) const { return events && !ended && !disabled.count(id) && !hidden.count(id); }
  // Presses a button (Enter and Escape are kIdOk and kIdCancel).
  void Press(int id) {
    if (Usable(id)) events->OnCommand(id);
  }
  // Types into an edit or the edit part of a combo box, replacing its text.
  void Type(int id, const std::string& text) {
    if (Usable(id)) items[id] = text;
  }
  // Clicks a check box (or presses the space bar on it): it toggles, then
  // the dialog hears of it.
  void Toggle(int id) {
    if (!Usable(id)) return;
    if (!checked.erase(id)) checked.insert(id);
    events->OnCommand(id);
  }
  // Chooses entry `index` of a combo box from its list.
  void Choose(int id, int index);
  // Chooses the entry with this text; false when there is none.
  bool ChooseText(int id, const std::string& text);
  // Sets a hotkey control as the user would by pressing the keys.
  void PressHotkey(int id, unsigned virtualKey, unsigned flags) {
    if (Usable(id)) hotkeys[id] = {virtualKey, flags};
  }
  const std::vector<std::string>& Entries(int id) { return combos[id].entries; }
};

// The controls of each template that take the focus by the tab key, in
// order, each with whether the template enables it.
using SimTabStops = std::map<int, std::vector<std::pair<int, bool>>>;
// Those of the program's own templates.
SimTabStops ProgramTabStops();

// Scripts for modal dialogs by template: run once the dialog is
// initialised, inside its modal loop. Without a script a modal dialog is
// cancelled at once.
using SimModalScripts = std::map<int, std::function<void(SimDialogRecord&)>>;

class SimDialogWindow final : public IDialogWindow {
 public:
  SimDialogWindow(SimLoop& loop, const SimModalScripts& scripts, const SimTabStops& tabStops,
                  std::shared_ptr<SimDialogRecord> record, IDialogEvents* events);
  ~SimDialogWindow() override;
  void SetDragByFace(bool drags) override { record_->dragByFace = drags; }
  bool CreateModeless(int templateId, WindowHandle parent) override;
  int DoModal(int templateId, WindowHandle parent) override;
  void EndDialog(int code) override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) override;
  void EnableItem(int id, bool enabled) override;
  bool IsItemEnabled(int id) override { return !record_->disabled.count(id); }
  void ShowItem(int id, bool visible) override;
  bool IsItemVisible(int id) override { return !record_->hidden.count(id); }
  void FocusItem(int id) override;
  bool IsChecked(int id) override { return record_->checked.count(id) != 0; }
  void SetChecked(int id, bool checked) override;
  void ComboReset(int id) override;
  int ComboAdd(int id, const std::string& text) override;
  int ComboCount(int id) override;
  std::string ComboText(int id, int index) override;
  int ComboFindExact(int id, const std::string& text) override;
  int ComboSelection(int id) override;
  void ComboSelect(int id, int index) override;
  void SetHotkey(int id, unsigned virtualKey, unsigned flags) override;
  void GetHotkey(int id, unsigned* virtualKey, unsigned* flags) override;
  void RejectInput(int id, const std::string& message) override;
  void SetTopmost(bool topmost) override { record_->topmost = topmost; }
  void SetLabelWhite(int id, bool white) override;
  void SetFaceText(Rect rect, const std::string& text, std::uint32_t colour) override {
    record_->faceText = {rect, text, colour};
  }
  void Center() override;
  void Show(bool visible) override;
  void RedrawNow() override;
  void BringToFront() override;
  void Destroy() override;
  WindowHandle Handle() const override;

 private:
  // Runs the dialog's initialisation; then, as the dialog manager does when
  // it did not set the focus itself, the focus goes to the first tab stop
  // that is visible and enabled.
  void Initialise();

  SimLoop& loop_;
  const SimModalScripts& scripts_;
  const SimTabStops& tabStops_;
  bool initialising_ = false;
  bool focusSetInInit_ = false;
  std::shared_ptr<SimDialogRecord> record_;
};

}  // namespace fon::sim
