// Tray icon callbacks, the tray menu and its commands, the website, and
// keeping the icon on the taskbar.
#include "app/main_frame.h"

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
      Point at = platform_.Input().GetCursorPos();
      ShowTrayMenu(at.x, at.y);
      return;
    }
    default:
      return;
  }
}

void CMainFrame::ShowTrayMenu(int x, int y) {
  if (m_nRelayBusy != 0) {
    // A relay request is blocking in a nested message loop; the menu's own
    // loop must not start inside it.
    m_nMenuX = x;
    m_nMenuY = y;
    platform_.Timers().SetTimer(this, ID_TIMER_TRAY_MENU, kTrayMenuRetryMs);
    return;
  }
  if (m_nTrayMenu == 0) return;
  platform_.Desktop().SetForegroundWindow(Handle());
  int command = platform_.Tray().TrackTrayMenu(m_nTrayMenu, Point{x, y});
  if (command != 0) OnCommand(command);
}

void CMainFrame::OnCommand(int id) {
  switch (id) {
    case ID_MENU_DIALOUT:
      Debug("Dialout dialog not available in this build\n");
      return;
    case ID_MENU_CONFIG:
      Debug("Configuration dialog not available in this build\n");
      return;
    case ID_MENU_LOGIN:
      Debug("Login dialog not available in this build\n");
      return;
    case ID_MENU_EXIT:
      OnExitCommand();
      return;
    default:
      return;
  }
}

void CMainFrame::OpenWebsite() {
  m_strWebsite = settings_.ReadString("Website");
  // The address is only ever an argument of the browser.
  platform_.Shell().OpenInBrowser(m_strWebsite);
}

void CMainFrame::EnterAwayTray() {
  SetTrayState(kTrayDelete, TrayOffline);
  SetTrayState(kTrayDelete, TrayOnline);
  SetTrayState(kTrayAdd, TrayAway);
  m_nTrayState = TrayAway;
  m_bAway = 1;
}

void CMainFrame::LeaveAwayTray() {
  SetTrayState(kTrayDelete, TrayAway);
  m_nTrayState = m_strLinkState == "Conected" ? TrayOnline : TrayOffline;
  SetTrayState(kTrayAdd, m_nTrayState);
  m_bAway = 0;
}

void CMainFrame::OnTaskbarCreated() {
  // A restarted shell has forgotten every icon.
  if (IsQuitting()) return;
  SetTrayState(kTrayAdd, m_nTrayState);
}

void CMainFrame::StartTrayIconRetry() {
  // A shell that is still starting, or too busy to answer in time, refuses
  // the add; a failure while a retry runs does not prolong it.
  if (platform_.Timers().IsTimerRunning(this, ID_TIMER_TRAY_RETRY)) return;
  trayRetriesLeft_ = kTrayRetryAttempts;
  platform_.Timers().SetTimer(this, ID_TIMER_TRAY_RETRY, kTrayRetryIntervalMs);
}

void CMainFrame::OnTrayIconRetry() {
  // An icon that exists meanwhile (added by a state change) only takes the
  // current state; otherwise it is added again.
  bool shown = SetTrayState(kTrayModify, m_nTrayState) || SetTrayState(kTrayAdd, m_nTrayState);
  if (shown || --trayRetriesLeft_ <= 0) {
    platform_.Timers().KillTimer(this, ID_TIMER_TRAY_RETRY);
    if (!shown) Debug("Tray icon could not be added\n");
  }
}
