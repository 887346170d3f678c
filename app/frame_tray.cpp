// Tray icon callbacks, the tray menu and its commands, the website.
#include "app/main_frame.h"

#include <memory>
#include <string>

#include "login/login_dlg.h"

using namespace fon;

void CMainFrame::OnTrayNotify(unsigned mouseMessage) {
  switch (mouseMessage) {
    case kWmLButtonDown:
      // The single-click action waits to see whether a double click follows.
      platform_.Timers().SetTimer(this, ID_TIMER_TRAY_CLICK, platform_.Input().GetDoubleClickTime());
      return;
    case kWmLButtonDblClk:
      m_bDoubleClick = 1;
      OpenWebsite();
      return;
    case kWmRButtonDown: {
      Point at = platform_.Input().GetCursorPos().value_or(Point{});
      ShowTrayMenu(at.x, at.y);
      return;
    }
    default:
      return;
  }
}

void CMainFrame::ShowTrayMenu(int x, int y) {
  if (relay_.RelayBusy() != 0 || hotkeyCopying_) {
    // A relay request is blocking in a nested message loop, or the hotkey
    // waits for the copy of the selection; the menu's own loop must not
    // start inside either (they could not end before the menu closes).
    m_nMenuX = x;
    m_nMenuY = y;
    platform_.Timers().SetTimer(this, ID_TIMER_TRAY_MENU, kTrayMenuRetryMs);
    return;
  }
  if (m_nTrayMenu == 0) return;
  platform_.Desktop().SetForegroundWindow(Handle());
  int command = platform_.Tray().TrackTrayMenu(m_nTrayMenu, Point{x, y}, RecentCallMenuItems());
  if (command == 0) return;
  // The command reaches the frame once the menu has closed, like any other
  // command, and not inside the tray callback or timer that opened it: the
  // dialogs behind the commands run message loops of their own.
  std::shared_ptr<bool> alive = aliveFlag_;
  platform_.Loop().Post([this, alive, command]() {
    if (*alive) OnCommand(command);
  });
}

void CMainFrame::OnCommand(int id) {
  // Every command may open a dialog.
  if (DeferWhileSending(DeferredCommand::kMenuCommand, [this, id] { OnCommand(id); })) return;
  switch (id) {
    case ID_MENU_DIALOUT:
      RunDialoutDialog(std::string());
      return;
    case ID_MENU_CONFIG:
      RunConfigDialog();
      return;
    case ID_MENU_LOGIN:
      RunLoginDialog();
      return;
    case ID_MENU_EXIT:
      OnExitCommand();
      return;
    default:
      if (id >= ID_MENU_RECENT_FIRST && id <= ID_MENU_RECENT_LAST) OnRecentCallCommand(id);
      return;
  }
}

void CMainFrame::OpenWebsite() {
  m_strWebsite = settings_.ReadString("Website");
  // The address is only ever an argument of the browser.
  platform_.Shell().OpenInBrowser(m_strWebsite);
}

void CMainFrame::OnRelaySendsDone() {
  // A menu deferred meanwhile opens half a second after the last send.
  if (platform_.Timers().IsTimerRunning(this, ID_TIMER_TRAY_MENU))
    platform_.Timers().SetTimer(this, ID_TIMER_TRAY_MENU, kTrayMenuRetryMs);
  deferred_.OnSendsDone();
}

void CMainFrame::ShowAway(bool away) {
  if (away)
    tray_.EnterAway();
  else
    tray_.LeaveAway(link_.IsLinked());
}

void CMainFrame::OnTaskbarCreated() {
  // A restarted shell has forgotten every icon.
  if (IsQuitting()) return;
  tray_.Add();
}

void CMainFrame::RunConfigDialog() {
  if (m_dlgConfig.BringToFront()) return;
  CConectDialog dialog(*this, *this);
  m_dlgConfig.Run(dialog);
}

void CMainFrame::RunLoginDialog() {
  if (m_dlgLogin.BringToFront()) return;
  auto dialog = std::make_unique<CLoginDlg>(*this);
  // A new user, or the same one again: the lists and the forced profile
  // are theirs to hear about afresh.
  if (m_dlgLogin.Run(*dialog) == kIdOk) AskListsAfterLogin();
}
