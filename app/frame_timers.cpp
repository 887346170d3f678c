// The frame's timers: connection supervision and the end of the process.
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
    default:
      return;
  }
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
