// Notification popups that record what they would show.
#pragma once

#include <memory>
#include <vector>

#include "platform/windowing.h"

namespace fon::sim {

// What a test can see of one popup window, also after it was destroyed.
struct SimPopupRecord {
  WindowHandle handle = 0;
  IPopupEvents* events = nullptr;  // null once the window is gone
  bool alive = true;
  bool visible = false;
  int skin = 0;
  PopupLook look;
  Rect rect;
  std::vector<Rect> placements;
  int showCount = 0;
  int redraws = 0;
};

class SimPopupWindow final : public IPopupWindow {
 public:
  SimPopupWindow(std::shared_ptr<SimPopupRecord> record, IPopupEvents* events);
  ~SimPopupWindow() override;
  bool LoadSkin(int bitmap, int dpi, int* width, int* height) override;
  void SetLook(const PopupLook& look) override;
  void Place(int x, int y, int width, int height) override;
  void ShowNoActivate() override;
  void Hide() override;
  void Redraw() override;
  WindowHandle Handle() const override;

 private:
  std::shared_ptr<SimPopupRecord> record_;
};

}  // namespace fon::sim
