#include "dialogs/dialog_relay.h"

#include <iterator>

#include "net/relay_kinds.h"

// How each dialog kind goes about its request.
struct DialogRelayKind {
  int kind;
  // Counted in the frame's relay-busy count (the tray menu waits).
  bool countsBusy;
  // The timer that sends the request a second after a reconnect of the
  // CTI link was asked for; 0: sent at once whatever the link.
  unsigned deferTimer;
  // How long the answer is waited for: sent at once, sent deferred.
  unsigned answerMs;
  unsigned deferredAnswerMs;
  // Written when the connect fails; "%d" stands for the socket error.
  const char* connectFailure;
  const char* sendFailure;
  // The login reads every piece of its answer; the others only the first.
  bool keepsSocket;
};

namespace {

constexpr unsigned kAnswerTimer = 15;
constexpr unsigned kDeferMs = 1000;

constexpr char kSendFailed[] = "Failed to send on client socket: %d";

constexpr DialogRelayKind kDialogRelayKinds[] = {
    {kRelayDialout, true, 2, 10000, 1000, "Error at connecting: %d.", kSendFailed, false},
    {kRelayRegistration, false, 0, 10000, 10000, "Error at Connecting (Relay): %d.", kSendFailed, false},
    {kRelayInformForce, true, 1, 10000, 10000, "Error at connecting to relay port\n",
     "Failed to send on client socket: %d\n", false},
    {kRelayLogin, true, 1, 1000, 10000, "Error at Connecting (Relay): %d.", kSendFailed, true},
};

const DialogRelayKind& FindDialogKind(int kind) {
  for (const DialogRelayKind& info : kDialogRelayKinds)
    if (info.kind == kind) return info;
  return kDialogRelayKinds[0];
}

std::string WithError(const char* format, int error) {
  std::string text(format);
  std::string::size_type at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(error));
  return text;
}

}  // namespace

CDialogRelay::CDialogRelay(IDialogHost& host, IDialogRelayOwner& owner, int kind)
    : host_(host), owner_(owner), kind_(FindDialogKind(kind)), retired_(host.Platform().Loop()) {}

CDialogRelay::~CDialogRelay() {
  *alive_ = false;
  blocking_ = 0;
  Cancel();
}

void CDialogRelay::HoldBusy(bool hold) {
  if (!kind_.countsBusy || busy_ == hold) return;
  busy_ = hold;
  if (hold)
    host_.RaiseRelayBusy();
  else
    host_.LowerRelayBusy();
}

void CDialogRelay::ReleaseBusy() {
  // A connect or send of this relay still blocks further down the stack (a
  // second OK came inside it): the count stays up until that has returned,
  // or the tray menu and the commands held back for it would run inside it.
  if (blocking_ == 0 && !waiting_) HoldBusy(false);
}

void CDialogRelay::Retire() {
  host_.Platform().Timers().KillTimer(this, kAnswerTimer);
  if (!socket_) return;
  socket_->Close();
  // Its own notification may be running right now.
  retired_.Release(std::move(socket_));
}

void CDialogRelay::Cancel() {
  ++generation_;
  host_.Platform().Timers().KillAllTimers(this);
  waiting_ = false;
  Retire();
  ReleaseBusy();
}

bool CDialogRelay::Send(const std::string& request, const std::string& address, int port,
                        const std::string& shown) {
  // A second OK while the first request is still pending: the new one
  // replaces it, and the busy count is held once only.
  Cancel();
  request_ = request;
  shown_ = shown;
  address_ = address;
  port_ = port;
  HoldBusy(true);
  if (kind_.deferTimer != 0 && !host_.IsCtiLinkUp()) {
    host_.ReconnectCtiPort();
    waiting_ = true;
    host_.Platform().Timers().SetTimer(this, kind_.deferTimer, kDeferMs);
    return true;
  }
  return ConnectAndSend(false);
}

bool CDialogRelay::ConnectAndSend(bool deferred) {
  fon::IPlatform& platform = host_.Platform();
  const unsigned generation = ++generation_;
  std::shared_ptr<bool> alive = alive_;
  // Reachable from nowhere else until it has been sent: whatever runs in
  // the loop of the blocking connect (a cancel, the exit, another OK)
  // cannot pull it away underneath.
  auto socket = std::make_unique<CRelaySocket>(platform, this, kind_.kind);
  int error = socket->Create();
  if (error != 0) {
    platform.Debug().Write(WithError("Failed to create client socket: %d!", error));
    ReleaseBusy();
    return false;
  }
  ++blocking_;
  error = socket->Connect(address_, port_);
  if (!*alive) return false;
  --blocking_;
  if (generation != generation_) {
    // Cancelled or replaced meanwhile: this request is void.
    socket->Close();
    ReleaseBusy();
    return false;
  }
  if (error != 0) {
    socket->Close();
    Fail(false, error);
    return false;
  }
  ++blocking_;
  error = socket->SendRequest(request_);
  if (!*alive) return false;
  --blocking_;
  if (generation != generation_) {
    socket->Close();
    ReleaseBusy();
    return false;
  }
  if (error != 0) {
    platform.Debug().Write(WithError(kind_.sendFailure, error));
    socket->Close();
    ReleaseBusy();
    owner_.OnDialogRelayFailed();
    return false;
  }
  socket_ = std::move(socket);
  platform.Timers().SetTimer(this, kAnswerTimer, deferred ? kind_.deferredAnswerMs : kind_.answerMs);
  platform.Debug().Write("Message sent: " + shown_ + "\n");
  ReleaseBusy();
  return true;
}

void CDialogRelay::Fail(bool timedOut, int error) {
  const RelayKindInfo* info = FindRelayKind(kind_.kind);
  Retire();
  ReleaseBusy();
  if (timedOut) {
    if (info && info->timeoutText) host_.ShowInfoPopup(2, host_.LoadLangText(info->timeoutText), 0);
    if (info && info->timeoutDebug) host_.Platform().Debug().Write(info->timeoutDebug);
  } else {
    host_.Platform().Debug().Write(WithError(kind_.connectFailure, error));
    if (info && info->connectFailureText) host_.ShowInfoPopup(2, host_.LoadLangText(info->connectFailureText), 0);
  }
  owner_.OnDialogRelayFailed();
}

void CDialogRelay::OnTimer(unsigned id) {
  fon::ITimers& timers = host_.Platform().Timers();
  timers.KillTimer(this, id);
  if (id == kAnswerTimer) {
    Fail(true, 0);
    return;
  }
  if (id != kind_.deferTimer || !waiting_) return;
  waiting_ = false;
  if (!host_.IsCtiLinkUp()) {
    // Still no link: as if the relay port could not be reached.
    Fail(false, host_.Platform().Network().LastError());
    return;
  }
  ConnectAndSend(true);
}

void CDialogRelay::OnRelayAnswer(CRelaySocket& socket, const std::string& answer) {
  // Only the request pending now is answered; one replaced or timed out is
  // closed and cannot report any more.
  if (&socket != socket_.get()) return;
  host_.Platform().Timers().KillTimer(this, kAnswerTimer);
  if (!kind_.keepsSocket) Retire();
  owner_.OnDialogRelayAnswer(answer);
}

void CDialogRelay::OnRelayClosed(CRelaySocket& socket) {
  // Closed without an answer: the request ends without a word.
  if (&socket != socket_.get()) return;
  Retire();
}
