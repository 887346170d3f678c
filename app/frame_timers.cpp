// The frame's timers: connection supervision, the tray click and menu,
// relay timeouts and the end of the process; the two reconnect operations.
#include "app/main_frame.h"
#include "common/debug_text.h"
#include "net/cti_port_socket.h"

using namespace fon;

void CMainFrame::OnTimer(unsigned id) {
  switch (id) {
    case ID_TIMER_RECONNECT:
      // While the link is down and nothing is under way: try again quietly.
      if (m_bConnecting || m_strLinkState == "Conected") return;
      if (!MakeCtiSocket("Failed to create client socket: %d!")) return;
      m_strLinkState.clear();
      m_nReconnectMode = 1;
      ConnectCtiPort();
      return;
    case ID_TIMER_QUIT:
      platform_.Timers().KillTimer(this, ID_TIMER_QUIT);
      EndProcess();
      return;
    case ID_TIMER_EXIT:
      EndProcess();
      return;
    case ID_TIMER_RESTART:
      // Replace even a healthy connection: a server that silently dropped
      // the client is noticed at the latest here.
      if (m_bConnecting) return;
      if (m_strLinkState == "Conected") {
        DisposeCtiSocket();
        m_strLinkState.clear();
      }
      if (!MakeCtiSocket("Failed to create client socket: %d!")) return;
      Debug("Trying to restart the connection\n");
      m_nReconnectMode = 2;
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
      // The forced profile is shown once the configuration is closed.
      if (m_bConfigDlgOpen) return;
      platform_.Timers().KillTimer(this, ID_TIMER_INFORM_PROFILE);
      Debug("Active-profile dialog for profile " + m_strInformProfile + " not available in this build\n");
      return;
    case ID_TIMER_RELAY_FORCE:
    case ID_TIMER_RELAY_ACTIVE:
    case ID_TIMER_RELAY_PROFILES:
    case ID_TIMER_RELAY_DEVICES:
      OnRelayTimeout(id);
      return;
    case ID_TIMER_TRAY_RETRY:
      OnTrayIconRetry();
      return;
    default:
      return;
  }
}

void CMainFrame::ReconnectCtiPort() {
  if (m_bConnecting) return;
  if (!MakeCtiSocket("Failed to create client socket: %d!")) return;
  platform_.Timers().KillTimer(this, ID_TIMER_RECONNECT);
  platform_.Timers().SetTimer(this, ID_TIMER_RECONNECT, kReconnectIntervalMs);
  m_strLinkState.clear();
  ConnectCtiPort();
}

void CMainFrame::ApplySettings() {
  m_bConfigAfterProfiles = 0;

  m_nIdleMinutes = settings_.ReadDword("Idle Timer");
  const int idleCheckbox = settings_.ReadDword("Idle Timer Checkbox");
  if (idleCheckbox == 1 && !m_bIdleTimerRunning) {
    platform_.Timers().SetTimer(this, ID_TIMER_IDLE, 1000);
    m_bIdleTimerRunning = 1;
  } else if (idleCheckbox == 0 && m_bIdleTimerRunning) {
    platform_.Timers().KillTimer(this, ID_TIMER_IDLE);
    m_bIdleTimerRunning = 0;
  }

  // A connect under way keeps its settings; supervision uses the new ones.
  if (!m_bConnecting) {
    if (m_strLinkState == "Conected") {
      DisposeCtiSocket();
      // Without a socket the link is down, whatever follows.
      m_strLinkState.clear();
    }
    if (!MakeCtiSocket("Failed to create client socket: %d! Close and restart app.")) return;
    m_nReconnectMode = 0;
    platform_.Timers().SetTimer(this, ID_TIMER_RECONNECT, kReconnectIntervalMs);
    ConnectCtiPort();
    platform_.Input().UnregisterHotKey(ID_HOTKEY_DIALOUT);
    RegisterDialoutHotkey(false);
  }

  ReadLanguageIndexSetting();
}

void CMainFrame::OnClose() {
  platform_.Timers().KillTimer(this, ID_TIMER_RECONNECT);
  if (m_bIdleTimerRunning) {
    Debug("Kill the Idle-Timer\n");
    platform_.Timers().KillTimer(this, ID_TIMER_IDLE);
    m_bIdleTimerRunning = 0;
  }
  SetTrayState(kTrayDelete, m_nTrayState);
  if (window_) window_->Destroy();
}
