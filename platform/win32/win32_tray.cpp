#include "platform/win32/win32_tray.h"

#include <shellapi.h>

namespace fon::win32 {

namespace {
constexpr UINT kTrayIconId = 1;

// The first sub-menu of the tray menu gets the items instead of its
// placeholder. The menu is destroyed with the loaded resource.
void FillSubMenu(HMENU popup, const std::vector<MenuItem>& items) {
  HMENU sub = nullptr;
  for (int i = 0, n = ::GetMenuItemCount(popup); i < n && !sub; ++i) sub = ::GetSubMenu(popup, i);
  if (!sub) return;
  while (::GetMenuItemCount(sub) > 0) ::DeleteMenu(sub, 0, MF_BYPOSITION);
  for (const MenuItem& item : items) {
    ::AppendMenuA(sub, MF_STRING, static_cast<UINT_PTR>(item.command), item.text.c_str());
  }
}
}  // namespace

bool Win32Tray::NotifyIcon(int message, int iconResource, const std::string& tip) {
  if (!frame_) return false;
  // The old fixed-size record: every shell version accepts it, and the tip
  // is limited to 63 characters and the terminator.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = frame_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  // Icons loaded from resources by LoadIcon are shared and never destroyed.
  data.hIcon = ::LoadIconA(instance_, MAKEINTRESOURCEA(iconResource));
  ::lstrcpynA(data.szTip, tip.c_str(), 64);
  return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

int Win32Tray::TrackTrayMenu(int menuResource, Point at, const std::vector<MenuItem>& subMenuItems) {
  UniqueMenu menu(::LoadMenuA(instance_, MAKEINTRESOURCEA(menuResource)));
  if (!menu) return 0;
  HMENU popup = ::GetSubMenu(menu.Get(), 0);
  if (!popup) return 0;
  if (!subMenuItems.empty()) FillSubMenu(popup, subMenuItems);
  // A tray menu closes on a click elsewhere only when its owner is the
  // foreground window, and only after the owner saw one more message.
  ::SetForegroundWindow(frame_);
  int command = static_cast<int>(::TrackPopupMenu(popup, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                                  at.y, 0, frame_, nullptr));
  ::PostMessageA(frame_, WM_NULL, 0, 0);
  return command;
}

}  // namespace fon::win32
