// The call notification window of one popup of the core. The window itself
// (popup_surface.h) comes from the platform's pool and goes back to it when
// the popup is destroyed; to the core it is a new window every time.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/win32/popup_surface.h"
#include "platform/win32/popup_window_pool.h"

namespace fon::win32 {

class Win32PopupWindow final : public IPopupWindow {
 public:
  // The pool must outlive the popup windows it gave out.
  Win32PopupWindow(PopupWindowPool& pool, IPopupEvents* events, HWND parent);
  ~Win32PopupWindow() override;
  Win32PopupWindow(const Win32PopupWindow&) = delete;
  Win32PopupWindow& operator=(const Win32PopupWindow&) = delete;

  bool LoadSkin(int bitmap, int dpi, int* width, int* height) override {
    return surface_->LoadSkin(bitmap, dpi, width, height);
  }
  void SetLook(const PopupLook& look) override { surface_->SetLook(look); }
  void Place(int x, int y, int width, int height) override { surface_->Place(x, y, width, height); }
  void ShowNoActivate() override { surface_->ShowNoActivate(); }
  void Hide() override { surface_->Hide(); }
  void Redraw() override { surface_->Redraw(); }
  WindowHandle Handle() const override { return FromHwnd(surface_->Window()); }
  void SetAccessibility(const PopupAccessibility& accessibility) override {
    surface_->SetAccessibility(accessibility);
  }
  void AnnounceAlert() override { surface_->AnnounceAlert(); }
  int TrackContextMenu(Point at, const std::vector<MenuItem>& items) override {
    return surface_->TrackContextMenu(at, items);
  }

  const PopupSurface& Surface() const { return *surface_; }

 private:
  PopupWindowPool& pool_;
  std::unique_ptr<PopupSurface> surface_;
};

}  // namespace fon::win32
