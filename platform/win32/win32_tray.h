// The main frame's notification-area icon and its tray menu.
#pragma once

#include "platform/tray.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

class Win32Tray final : public ITray {
 public:
  explicit Win32Tray(HINSTANCE instance) : instance_(instance) {}

  // The hidden frame owns the tray icon and the menu.
  void SetFrame(HWND frame) { frame_ = frame; }
  HWND Frame() const { return frame_; }

  bool NotifyIcon(int message, int iconResource, const std::string& tip) override;
  int TrackTrayMenu(int menuResource, Point at, const std::vector<MenuItem>& subMenuItems) override;

 private:
  HINSTANCE instance_;
  HWND frame_ = nullptr;
};

}  // namespace fon::win32
