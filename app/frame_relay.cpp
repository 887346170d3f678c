#include "app/frame_relay.h"

#include <iterator>
#include <tuple>

#include "app/main_frame.h"
#include "common/debug_text.h"
#include "text_ids.h"

using namespace fon;

// Which of the relay kinds the frame sends itself, and who takes the answer.
struct FrameRelayKind {
  int kind;
  void (CMainFrame::*onAnswer)(const std::string& answer);
  // Takes the timeout of the request and tells the user itself; nullptr:
  // the kind's notice is shown.
  void (CMainFrame::*takesFailure)(bool timedOut);
};

namespace {

constexpr FrameRelayKind kFrameRelayKinds[] = {
    {kRelayForce, &CMainFrame::OnForceProfileAnswer, &CMainFrame::OnForceRequestFailed},
    {kRelayActiveProfile, &CMainFrame::OnActiveForcedProfileAnswer, nullptr},
    {kRelayProfileList, &CMainFrame::OnProfileListAnswer, nullptr},
    {kRelayDevices, &CMainFrame::OnDevicesAnswer, nullptr},
};

// Used when no relay port has been stored yet.
constexpr int kDefaultRelayPort = 12345;

}  // namespace

CFrameRelay::CFrameRelay(IPlatform& platform, SettingsStore& settings, CMainFrame& frame)
    : platform_(platform), settings_(settings), frame_(frame) {
  static_assert(std::size(kFrameRelayKinds) == std::tuple_size_v<decltype(slots_)>);
  for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i].kind = &kFrameRelayKinds[i];
}

CFrameRelay::Slot* CFrameRelay::SlotOfKind(int kind) {
  for (Slot& slot : slots_)
    if (slot.kind->kind == kind) return &slot;
  return nullptr;
}

CFrameRelay::Slot* CFrameRelay::SlotOfTimer(unsigned timerId) {
  for (Slot& slot : slots_)
    if (RelayTimerId(slot.kind->kind) == timerId) return &slot;
  return nullptr;
}

void CFrameRelay::Retire(Slot& slot) {
  platform_.Timers().KillTimer(&frame_, RelayTimerId(slot.kind->kind));
  slot.failureReported = false;
  if (!slot.socket) return;
  slot.socket->Close();
  retired_.Release(std::move(slot.socket));
}

void CFrameRelay::Finish(int kind) {
  if (Slot* slot = SlotOfKind(kind)) Retire(*slot);
}

bool CFrameRelay::Pending(int kind) const {
  for (const Slot& slot : slots_)
    if (slot.kind->kind == kind) return slot.socket != nullptr;
  return false;
}

int CFrameRelay::Send(const UserRequest& request, unsigned timerId, unsigned connectTimeoutMs) {
  Slot* slot = SlotOfTimer(timerId);
  if (slot == nullptr) return 0;
  const int kind = slot->kind->kind;

  // Local copies: a reconnect of the CTI port inside the blocking connect
  // below reads the settings again.
  const std::string host = settings_.ReadString("Server IP Address");
  const int port = settings_.ReadDword("Relay port", kDefaultRelayPort);
  frame_.NoteServer(host, port);
  const unsigned generation = ++slot->generation;

  RaiseBusy();
  int sent = 0;
  // Until it has been sent, the request is reachable from nowhere else:
  // whatever runs inside the blocking connect cannot dispose of it.
  auto socket = std::make_unique<CRelaySocket>(platform_, this, kind);
  int error = socket->Create();
  if (error != 0) {
    DebugPrintf(platform_.Debug(), "Failed to create client socket: %d!", error);
  } else if (socket->Connect(host, port, connectTimeoutMs) != 0) {
    if (generation == slot->generation) {
      // The request of this kind still pending (if any) stays: its answer
      // counts, and its timeout ends it without telling the user again.
      if (slot->socket) slot->failureReported = true;
      ReportFailure(*slot, false, false);
    }
  } else if (generation != slot->generation) {
    // A newer request of the kind was made meanwhile, or this one was
    // called off: it goes out no more.
  } else {
    // Under way: the previous request of the kind gives way to this one.
    Retire(*slot);
    // The user as stored now, after the connect.
    m_nUserId = settings_.ReadDword("User ID");
    const std::string line = request.For(m_nUserId);
    if ((error = socket->SendRequest(line)) != 0) {
      DebugPrintf(platform_.Debug(), "Failed to send on client socket: %d", error);
    } else if (generation == slot->generation) {
      platform_.Timers().SetTimer(&frame_, timerId, kFrameRelayTimeoutMs);
      platform_.Debug().Write("Message sent: " + line + "\n");
      slot->socket = std::move(socket);
      sent = 1;
    }
  }
  if (socket) socket->Close();
  LowerBusy();
  return sent;
}

bool CFrameRelay::SendForce(const UserRequest& request, unsigned connectTimeoutMs) {
  return Send(request, RelayTimerId(kRelayForce), connectTimeoutMs) == 1;
}

void CFrameRelay::DropForce() {
  Slot* slot = SlotOfKind(kRelayForce);
  ++slot->generation;
  Retire(*slot);
}

void CFrameRelay::LowerBusy() {
  if (m_nRelayBusy == 0) return;
  if (--m_nRelayBusy == 0) frame_.OnRelaySendsDone();
}

void CFrameRelay::ReportFailure(const Slot& slot, bool timedOut, bool userKnows) {
  const RelayKindInfo* info = FindRelayKind(slot.kind->kind);
  if (info == nullptr) return;
  const char* debug = timedOut ? info->timeoutDebug : info->connectFailureDebug;
  if (debug) platform_.Debug().Write(debug);
  if (userKnows) return;
  // The force request's sender tells the user itself: a failed connect it
  // learns from Send, a timeout from here.
  if (slot.kind->takesFailure) {
    if (timedOut) (frame_.*slot.kind->takesFailure)(timedOut);
    return;
  }
  const int text = timedOut ? info->timeoutText : info->connectFailureText;
  if (text != 0) frame_.ShowInfoPopup(2, frame_.LoadLangText(text), 0);
}

bool CFrameRelay::OnTimer(unsigned timerId) {
  Slot* slot = SlotOfTimer(timerId);
  if (slot == nullptr) return false;
  const bool userKnows = slot->failureReported;
  Retire(*slot);
  ReportFailure(*slot, true, userKnows);
  return true;
}

void CFrameRelay::OnRelayAnswer(CRelaySocket& socket, const std::string& answer) {
  Slot* slot = SlotOfKind(socket.Kind());
  // Only the pending request of a kind is answered; one that was replaced
  // is closed and cannot report any more.
  if (slot == nullptr || slot->socket.get() != &socket) return;
  (frame_.*slot->kind->onAnswer)(answer);
}

void CFrameRelay::OnRelayClosed(CRelaySocket& socket) {
  Slot* slot = SlotOfKind(socket.Kind());
  if (slot == nullptr || slot->socket.get() != &socket) return;
  // Closed without an answer: the request ends quietly.
  Retire(*slot);
}
