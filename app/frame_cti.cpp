// The frame's side of the CTI-port connection: connecting, and what follows
// a connect, a failed connect and a closed connection.
#include "app/main_frame.h"
#include "common/debug_text.h"
#include "dialogs/wait_for_connect_dlg.h"
#include "net/cti_port_socket.h"

using namespace fon;

namespace {
constexpr int kDefaultCtiPort = 12346;
}

bool CMainFrame::MakeCtiSocket(const char* createFailureText) {
  DisposeCtiSocket();
  m_pCtiSocket = std::make_unique<CCtiPortSocket>(this);
  int error = m_pCtiSocket->Create();
  if (error != 0) {
    DebugPrintf(DebugOut(), createFailureText, error);
    m_pCtiSocket.reset();
    return false;
  }
  return true;
}

void CMainFrame::DisposeCtiSocket() {
  if (!m_pCtiSocket) return;
  // Closed now so that it reports nothing more; destroyed once the current
  // notification (which may be its own) has returned.
  m_pCtiSocket->Close();
  retiredSockets_.push_back(std::move(m_pCtiSocket));
  ScheduleCleanup();
}

void CMainFrame::ReleaseCtiSocket(CCtiPortSocket* socket) {
  if (m_pCtiSocket.get() == socket) DisposeCtiSocket();
}

void CMainFrame::DisposeWaitDialog() {
  if (!m_pWaitDlg) return;
  retiredWaitDialogs_.push_back(std::move(m_pWaitDlg));
  ScheduleCleanup();
}

void CMainFrame::ConnectCtiPort() {
  settings_.CreateRegKey(kMainKey);
  m_strServerAddress = settings_.ReadString("Server IP Address");
  m_nServerPort = settings_.ReadDword("Server port", kDefaultCtiPort);
  m_strLinkState.clear();

  DisposeWaitDialog();
  m_pWaitDlg = std::make_unique<CWaitForConnectDlg>(platform_, settings_);
  if (m_nReconnectMode == 0) m_pWaitDlg->CreateAndShow(Handle());

  m_bConnecting = 1;
  if (m_pCtiSocket) {
    m_pCtiSocket->Connect(m_strServerAddress, m_nServerPort);
  } else {
    // No socket could be made: end the attempt as a failed connect so that
    // supervision tries again.
    std::shared_ptr<bool> alive = aliveFlag_;
    platform_.Loop().Post([this, alive]() {
      if (*alive && m_bConnecting && !m_pCtiSocket) OnCtiConnectFailed();
    });
  }
}

void CMainFrame::OnCtiConnected() {
  Debug("Connection to TSG (CTI-Port) ready\n");
  if (m_nReconnectMode == 0 && m_pWaitDlg) m_pWaitDlg->Hide();
  DisposeWaitDialog();
  m_bConnecting = 0;
  m_strLinkState = "Conected";
  if (!m_bAway && m_nTrayState != TrayOnline) {
    SetTrayState(kTrayDelete, TrayOffline);
    SetTrayState(kTrayDelete, TrayOnline);
    SetTrayState(kTrayAdd, TrayOnline);
    m_nTrayState = TrayOnline;
  }
  // The lists once, and again on every periodic restart; the forced profile
  // until it has been checked; a restore that could not be sent before.
  const std::string userId = std::to_string(settings_.ReadDword("User ID"));
  if (!m_bDevicesLoaded || m_nReconnectMode == 2)
    SendRelayRequest("GETDEVICES|" + userId, ID_TIMER_RELAY_DEVICES);
  if (!m_bProfilesLoaded || m_nReconnectMode == 2)
    SendRelayRequest("GETPROFILELIST|" + userId, ID_TIMER_RELAY_PROFILES);
  platform_.Loop().Sleep(100);
  if (!m_bForcedChecked) SendRelayRequest("GETACTIVEFORCEDPROFILE|" + userId, ID_TIMER_RELAY_ACTIVE);
  if (m_bPendingRequest && SendRelayRequest(m_strPendingRequest, ID_TIMER_RELAY_FORCE)) m_bPendingRequest = 0;
  if (settings_.ReadDword("Idle Timer Checkbox") == 1 && !m_bIdleTimerRunning) {
    Debug("start the Idle-Timer\n");
    platform_.Timers().SetTimer(this, ID_TIMER_IDLE, 1000);
    m_bIdleTimerRunning = 1;
  }
}

void CMainFrame::OnCtiConnectFailed() {
  int error = m_pCtiSocket ? m_pCtiSocket->LastError() : platform_.Network().LastError();
  DebugPrintf(DebugOut(), "Failed to connect to TSG (CTI-Port): %d.\n", error);
  DisposeCtiSocket();
  m_bConnecting = 0;
  if (!m_bAway && m_nTrayState != TrayOffline) {
    SetTrayState(kTrayDelete, TrayOnline);
    SetTrayState(kTrayDelete, TrayOffline);
    SetTrayState(kTrayAdd, TrayOffline);
    m_nTrayState = TrayOffline;
  }
  if (m_nReconnectMode == 0 && m_pWaitDlg) m_pWaitDlg->Hide();
  if (m_bIdleTimerRunning) {
    Debug("Kill the Idle-Timer\n");
    platform_.Timers().KillTimer(this, ID_TIMER_IDLE);
    m_bIdleTimerRunning = 0;
  }
  DisposeWaitDialog();
}

void CMainFrame::OnCtiClosed() {
  if (m_bAway) return;
  SetTrayState(kTrayDelete, TrayOnline);
  SetTrayState(kTrayDelete, TrayOffline);
  SetTrayState(kTrayAdd, TrayOffline);
  m_nTrayState = TrayOffline;
}
