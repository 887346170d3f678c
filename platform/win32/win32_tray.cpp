#include "platform/win32/win32_tray.h"

#include <shellapi.h>

namespace fon::win32 {

namespace {
constexpr UINT kTrayIconId = 1;
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

int Win32Tray::TrackTrayMenu(int menuResource, Point at) {
  UniqueMenu menu(::LoadMenuA(instance_, MAKEINTRESOURCEA(menuResource)));
  if (!menu) return 0;
  HMENU popup = ::GetSubMenu(menu.Get(), 0);
  if (!popup) return 0;
  // A tray menu closes on a click elsewhere only when its owner is the
  // foreground window, and only after the owner saw one more message.
  ::SetForegroundWindow(frame_);
  int command = static_cast<int>(::TrackPopupMenu(popup, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                                  at.y, 0, frame_, nullptr));
  ::PostMessageA(frame_, WM_NULL, 0, 0);
  return command;
}

}  // namespace fon::win32
