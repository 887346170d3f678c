#include "platform/sim/sim_popup_window.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "res/resource.h"

namespace fon::sim {
namespace {

// The call popup skins of the executable's resources, all 213 x 120.
constexpr int kSkins[] = {
    IDB_SKIN_DEFAULT,      IDB_SKIN_RED,       IDB_SKIN_GREEN,       IDB_SKIN_BLUE,       IDB_SKIN_YELLOW,
    IDB_SKIN_TEAL,         IDB_SKIN_ORANGE,    IDB_SKIN_BROWN,       IDB_SKIN_GREY,       IDB_SKIN_VIOLET,
    IDB_SKIN_DEFAULT_INFO, IDB_SKIN_RED_INFO,  IDB_SKIN_GREEN_INFO,  IDB_SKIN_BLUE_INFO,  IDB_SKIN_YELLOW_INFO,
    IDB_SKIN_TEAL_INFO,    IDB_SKIN_ORANGE_INFO, IDB_SKIN_BROWN_INFO, IDB_SKIN_GREY_INFO, IDB_SKIN_VIOLET_INFO,
};
constexpr int kSkinWidth = 213;
constexpr int kSkinHeight = 120;

}  // namespace

SimPopupWindow::SimPopupWindow(std::shared_ptr<SimPopupRecord> record, IPopupEvents* events)
    : record_(std::move(record)) {
  record_->events = events;
}

SimPopupWindow::~SimPopupWindow() {
  record_->alive = false;
  record_->visible = false;
  record_->events = nullptr;
}

bool SimPopupWindow::LoadSkin(int bitmap, int dpi, int* width, int* height) {
  if (std::find(std::begin(kSkins), std::end(kSkins), bitmap) == std::end(kSkins)) return false;
  record_->skin = bitmap;
  // As the executable's skins, drawn for every scale.
  *width = ScaleToDpi(kSkinWidth, dpi);
  *height = ScaleToDpi(kSkinHeight, dpi);
  return true;
}

void SimPopupWindow::SetLook(const PopupLook& look) { record_->look = look; }

void SimPopupWindow::Place(int x, int y, int width, int height) {
  record_->rect = Rect{x, y, x + width, y + height};
  record_->placements.push_back(record_->rect);
}

void SimPopupWindow::ShowNoActivate() {
  record_->visible = true;
  ++record_->showCount;
}

void SimPopupWindow::Hide() { record_->visible = false; }

void SimPopupWindow::Redraw() { ++record_->redraws; }

WindowHandle SimPopupWindow::Handle() const { return record_->handle; }

void SimPopupWindow::SetAccessibility(const PopupAccessibility& accessibility) {
  record_->accessibility = accessibility;
}

void SimPopupWindow::AnnounceAlert() { ++record_->alerts; }

int SimPopupWindow::TrackContextMenu(Point at, const std::vector<MenuItem>& items) {
  record_->menus.push_back(items);
  record_->menuPoints.push_back(at);
  return std::exchange(record_->menuChoice, 0);
}

}  // namespace fon::sim
