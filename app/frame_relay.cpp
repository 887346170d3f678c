// The frame's own relay requests: sending one, the four pending slots, and
// what happens when a request ends without an answer.
#include "app/main_frame.h"
#include "common/debug_text.h"
#include "net/relay_socket.h"

using namespace fon;

namespace {

// Used when no relay port has been stored yet.
constexpr int kDefaultRelayPort = 12345;

// The frame's timeout timer names the kind of its request.
int FrameRelayKind(unsigned timerId) {
  switch (timerId) {
    case ID_TIMER_RELAY_FORCE:
      return kRelayForce;
    case ID_TIMER_RELAY_ACTIVE:
      return kRelayActiveProfile;
    case ID_TIMER_RELAY_PROFILES:
      return kRelayProfileList;
    case ID_TIMER_RELAY_DEVICES:
      return kRelayDevices;
    default:
      return 0;
  }
}

}  // namespace

std::unique_ptr<CRelaySocket>* CMainFrame::RelaySlot(int kind) {
  switch (kind) {
    case kRelayForce:
      return &m_pForceSocket;
    case kRelayActiveProfile:
      return &m_pActiveProfileSocket;
    case kRelayProfileList:
      return &m_pProfileListSocket;
    case kRelayDevices:
      return &m_pDeviceListSocket;
    default:
      return nullptr;
  }
}

void CMainFrame::DisposeRelaySocket(std::unique_ptr<CRelaySocket>& slot) {
  if (!slot) return;
  // The socket may be the one whose notification is running right now.
  slot->Close();
  retiredRelaySockets_.push_back(std::move(slot));
  ScheduleCleanup();
}

int CMainFrame::SendRelayRequest(const std::string& request, unsigned timerId) {
  const int kind = FrameRelayKind(timerId);
  std::unique_ptr<CRelaySocket>* slot = RelaySlot(kind);
  if (slot == nullptr) return 0;
  if (kind == kRelayForce && m_bForceBusy) {
    // A force request is being connected or sent already (this call comes
    // from the message loop that its blocking connect keeps running).
    ShowInfoPopup(2, LoadLangText(232), 0);
    return 0;
  }

  m_strServerAddress = settings_.ReadString("Server IP Address");
  m_nServerPort = settings_.ReadDword("Relay port", kDefaultRelayPort);
  m_nUserId = settings_.ReadDword("User ID");
  // Local copies: a reconnect of the CTI port inside the blocking connect
  // below overwrites the frame's address and port.
  const std::string host = m_strServerAddress;
  const int port = m_nServerPort;

  ++m_nRelayBusy;
  if (kind == kRelayForce) m_bForceBusy = 1;

  int sent = 0;
  // Until it has been sent, the request is reachable from nowhere else:
  // whatever runs inside the blocking connect cannot dispose of it.
  auto socket = std::make_unique<CRelaySocket>(platform_, this, kind);
  int error = socket->Create();
  if (error != 0) {
    DebugPrintf(DebugOut(), "Failed to create client socket: %d!", error);
  } else {
    // The new request replaces the previous one of its kind.
    DisposeRelaySocket(*slot);
    if (socket->Connect(host, port) != 0) {
      Debug("Error at connecting to relay port\n");
      ReportRelayConnectFailure(kind);
    } else if ((error = socket->SendRequest(request)) != 0) {
      DebugPrintf(DebugOut(), "Failed to send on client socket: %d", error);
    } else {
      platform_.Timers().SetTimer(this, timerId, kFrameRelayTimeoutMs);
      Debug("Message sent: " + request + "\n");
      // A request of the same kind made meanwhile gives way to this one.
      DisposeRelaySocket(*slot);
      *slot = std::move(socket);
      sent = 1;
    }
    if (socket) socket->Close();
  }

  if (kind == kRelayForce) m_bForceBusy = 0;
  --m_nRelayBusy;
  // A menu deferred meanwhile opens half a second after the last send.
  if (m_nRelayBusy == 0 && platform_.Timers().IsTimerRunning(this, ID_TIMER_TRAY_MENU))
    platform_.Timers().SetTimer(this, ID_TIMER_TRAY_MENU, kTrayMenuRetryMs);
  return sent;
}

void CMainFrame::ReportRelayConnectFailure(int kind) {
  switch (kind) {
    case kRelayForce:
      if (m_bIdleActivating) {
        Debug("Could not activate Idle Timer\n");
        ShowInfoPopup(2, LoadLangText(216), 1);
        m_nIdleSeconds = 0;
        m_bIdleActivating = 0;
      } else if (!m_bExiting) {
        // At exit the warning follows instead.
        ShowInfoPopup(2, LoadLangText(232), 0);
      }
      return;
    case kRelayProfileList:
      ShowInfoPopup(2, LoadLangText(233), 0);
      return;
    case kRelayDevices:
      ShowInfoPopup(2, LoadLangText(239), 0);
      return;
    default:
      return;  // the forced-profile question fails quietly
  }
}

void CMainFrame::OnRelayAnswer(CRelaySocket& socket, const std::string& answer) {
  std::unique_ptr<CRelaySocket>* slot = RelaySlot(socket.Kind());
  // Only the pending request of a kind is answered; one that was replaced
  // is closed and cannot report any more.
  if (slot == nullptr || slot->get() != &socket) return;
  switch (socket.Kind()) {
    case kRelayForce:
      OnForceProfileAnswer(answer);
      return;
    case kRelayActiveProfile:
      OnActiveForcedProfileAnswer(answer);
      return;
    case kRelayProfileList:
      OnProfileListAnswer(answer);
      return;
    case kRelayDevices:
      OnDevicesAnswer(answer);
      return;
    default:
      return;
  }
}

void CMainFrame::OnRelayClosed(CRelaySocket& socket) {
  std::unique_ptr<CRelaySocket>* slot = RelaySlot(socket.Kind());
  if (slot == nullptr || slot->get() != &socket) return;
  // Closed without an answer: the request ends quietly.
  platform_.Timers().KillTimer(this, RelayTimerId(socket.Kind()));
  DisposeRelaySocket(*slot);
}

void CMainFrame::OnRelayTimeout(unsigned timerId) {
  const int kind = FrameRelayKind(timerId);
  platform_.Timers().KillTimer(this, timerId);
  if (std::unique_ptr<CRelaySocket>* slot = RelaySlot(kind)) DisposeRelaySocket(*slot);
  switch (kind) {
    case kRelayForce:
      Debug("Timeout - Relay Socket does not answer to FORCEPROFILE \n");
      if (m_bExiting) {
        m_bExiting = 0;
        if (ExitWarningConfirmed()) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
      } else if (m_bIdleActivating) {
        Debug("Could not activate Idle Timer");
        m_nIdleSeconds = 0;
        m_bIdleActivating = 0;
        ShowInfoPopup(2, LoadLangText(216), 1);
      } else {
        ShowInfoPopup(2, LoadLangText(217), 0);
      }
      return;
    case kRelayActiveProfile:
      Debug("Timeout - Relay Socket does not answer to GETACTIVEFORCEDPROFILE \n");
      return;
    case kRelayProfileList:
      Debug("Timeout - Relay Socket does not answer to GETPROFILELIST \n");
      ShowInfoPopup(2, LoadLangText(218), 0);
      return;
    case kRelayDevices:
      Debug("Timeout - Relay Socket does not answer to GETDEVICES \n");
      ShowInfoPopup(2, LoadLangText(239), 0);
      return;
    default:
      return;
  }
}
