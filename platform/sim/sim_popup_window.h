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
  PopupAccessibility accessibility;
  int alerts = 0;
  // Context menus shown, with their items; the command the next one returns.
  std::vector<std::vector<MenuItem>> menus;
  std::vector<Point> menuPoints;
  int menuChoice = 0;
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
  void SetAccessibility(const PopupAccessibility& accessibility) override;
  void AnnounceAlert() override;
  int TrackContextMenu(Point at, const std::vector<MenuItem>& items) override;

 private:
  std::shared_ptr<SimPopupRecord> record_;
};

}  // namespace fon::sim
