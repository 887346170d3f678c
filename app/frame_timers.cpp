// The frame's timers: connection supervision, the tray click and menu,
// relay timeouts and the end of the process; the two reconnect operations.
#include "app/main_frame.h"
#include "common/debug_text.h"

using namespace fon;

namespace {
constexpr char kCreateFailed[] = "Failed to create client socket: %d!";
}  // namespace

void CMainFrame::OnTimer(unsigned id) {
  if (relay_.OnTimer(id) || tray_.OnTimer(id) || idle_.OnTimer(id)) return;
  switch (id) {
    case ID_TIMER_RECONNECT:
      // While the link is down and nothing is under way: try again quietly.
      if (link_.IsConnecting() || link_.IsLinked()) return;
      if (!link_.MakeSocket(kCreateFailed)) return;
      link_.SetReconnectMode(kReconnectByTimer);
      ConnectCtiPort();
      return;
    case ID_TIMER_QUIT:
      platform_.Timers().KillTimer(this, ID_TIMER_QUIT);
      EndProcess();
      return;
    case ID_TIMER_EXIT:
      EndProcess();
      return;
    case ID_TIMER_SESSION_END:
      // Only wakes the wait of the session end.
      platform_.Timers().KillTimer(this, ID_TIMER_SESSION_END);
      return;
    case ID_TIMER_RESTART:
      // Replace even a healthy connection: a server that silently dropped
      // the client is noticed at the latest here.
      if (link_.IsConnecting()) return;
      if (link_.IsLinked()) link_.Drop();
      if (!link_.MakeSocket(kCreateFailed)) return;
      Debug("Trying to restart the connection\n");
      link_.SetReconnectMode(kPeriodicRestart);
      ConnectCtiPort();
      return;
    case ID_TIMER_TRAY_CLICK:
      // A double click since the press took the click for the website.
      if (!m_bDoubleClick) ShowInfoPopup(0, "", 0);
      m_bDoubleClick = 0;
      platform_.Timers().KillTimer(this, ID_TIMER_TRAY_CLICK);
      return;
    case ID_TIMER_TRAY_MENU:
      platform_.Timers().KillTimer(this, ID_TIMER_TRAY_MENU);
      ShowTrayMenu(m_nMenuX, m_nMenuY);
      return;
    case ID_TIMER_INFORM_PROFILE:
      // The forced profile is shown once the configuration is closed, and
      // not inside a blocking send; the timer asks again a second later.
      if (m_dlgConfig.IsOpen() || relay_.RelayBusy() != 0) return;
      platform_.Timers().KillTimer(this, ID_TIMER_INFORM_PROFILE);
      RunActiveProfileDialog(profiles_.HeldForDisplay());
      return;
    default:
      return;
  }
}

void CMainFrame::ReconnectCtiPort() {
  if (link_.IsConnecting()) return;
  // The live link stays untouched when no new socket can be made.
  if (!link_.MakeSocket(kCreateFailed)) return;
  platform_.Timers().KillTimer(this, ID_TIMER_RECONNECT);
  platform_.Timers().SetTimer(this, ID_TIMER_RECONNECT, kReconnectIntervalMs);
  ConnectCtiPort();
}

void CMainFrame::ApplySettings() {
  m_bConfigAfterProfiles = 0;

  idle_.ApplySettings();

  // A connect under way keeps its settings; supervision uses the new ones.
  if (!link_.IsConnecting()) {
    // Without a socket the link is down, whatever follows.
    if (link_.IsLinked()) link_.Drop();
    if (!link_.MakeSocket("Failed to create client socket: %d! Close and restart app.")) return;
    link_.SetReconnectMode(kConnectAtStart);
    platform_.Timers().SetTimer(this, ID_TIMER_RECONNECT, kReconnectIntervalMs);
    ConnectCtiPort();
    platform_.Input().UnregisterHotKey(ID_HOTKEY_DIALOUT);
    RegisterDialoutHotkey(false);
  } else {
    // The new hotkey counts as soon as the connect under way has ended.
    hotkeyAfterConnect_ = true;
  }

  ReadLanguageIndexSetting();
  // Texts read the index each time; the tray menu follows it here.
  SelectTrayMenu();
  ApplyPhoneLinks();
}

void CMainFrame::OnClose() {
  platform_.Timers().KillTimer(this, ID_TIMER_RECONNECT);
  idle_.Stop("Kill the Idle-Timer\n");
  tray_.Remove();
  if (window_) window_->Destroy();
}
