// Dialogs whose modal runs follow a script per template.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/sim/sim_loop.h"
#include "platform/windowing.h"

namespace fon::sim {

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
  // Presses a button of the dialog as the user would.
  void Press(int id) {
    if (events && !ended) events->OnCommand(id);
  }
};

// Scripts for modal dialogs by template: run once the dialog is
// initialised, inside its modal loop. Without a script a modal dialog is
// cancelled at once.
using SimModalScripts = std::map<int, std::function<void(SimDialogRecord&)>>;

class SimDialogWindow final : public IDialogWindow {
 public:
  SimDialogWindow(SimLoop& loop, const SimModalScripts& scripts, std::shared_ptr<SimDialogRecord> record,
                  IDialogEvents* events);
  ~SimDialogWindow() override;
  void SetDragByFace(bool drags) override { record_->dragByFace = drags; }
  bool CreateModeless(int templateId, WindowHandle parent) override;
  int DoModal(int templateId, WindowHandle parent) override;
  void EndDialog(int code) override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) override;
  void SetLabelWhite(int id, bool white) override;
  void Center() override;
  void Show(bool visible) override;
  void RedrawNow() override;
  void BringToFront() override;
  void Destroy() override;
  WindowHandle Handle() const override;

 private:
  SimLoop& loop_;
  const SimModalScripts& scripts_;
  std::shared_ptr<SimDialogRecord> record_;
};

}  // namespace fon::sim
