#include "net/cti_port_socket.h"

#include <cctype>

#include "common/debug_text.h"

namespace {

// The server's farewell: exactly these three letters, in any case.
bool IsBye(const std::string& message) {
  static const char kBye[] = "bye";
  if (message.size() != 3) return false;
  for (int i = 0; i < 3; ++i)
    if (std::tolower(static_cast<unsigned char>(message[i])) != kBye[i]) return false;
  return true;
}

}  // namespace

CCtiPortSocket::CCtiPortSocket(fon::IPlatform& platform, ICtiPortOwner* owner)
    : platform_(platform), m_pOwner(owner) {}

CCtiPortSocket::~CCtiPortSocket() { *alive_ = false; }

int CCtiPortSocket::Create() {
  int error = 0;
  socket_ = platform_.Network().CreateSocket(this, &error);
  if (!socket_) m_nLastError = error;
  return socket_ ? 0 : error;
}

void CCtiPortSocket::Connect(const std::string& host, int port) {
  int error = socket_ ? socket_->ConnectAsync(host, port) : fon::kWsaENotConn;
  if (error == 0) return;
  // Report it from the message loop, as the system reports a refused
  // connect, so that the connecting state always ends the same way.
  m_nLastError = error;
  std::shared_ptr<bool> alive = alive_;
  platform_.Loop().Post([this, alive, error]() {
    if (*alive) OnConnect(error);
  });
}

void CCtiPortSocket::Close() {
  closed_ = true;
  platform_.Timers().KillTimer(this, kTailTimer);
  if (socket_) socket_->Close();
}

void CCtiPortSocket::OnConnect(int error) {
  if (error != 0) {
    m_nLastError = error;
    fon::DebugPrintf(platform_.Debug(), "OnConnect error: %d", error);
    m_pOwner->OnCtiPortConnectFailed(*this);
  } else {
    m_pOwner->OnCtiPortConnected(*this);
  }
}

void CCtiPortSocket::OnReceive(int /*error*/) {
  if (!socket_ || closed_ || ended_) return;
  char buffer[kMaxRead];
  int n = socket_->Receive(buffer, kMaxRead);
  if (n < 0) {
    m_nLastError = socket_->LastError();
    fon::DebugPrintf(platform_.Debug(), "Error number is %d", m_nLastError);
    return;
  }
  // An event carries the time of the read that completed it.
  m_strReceiveTime = platform_.Loop().CtimeNow();
  if (n == 0) {
    // The end of the stream: the server has gone, whether or not its close
    // notification is still on the way.
    EndOfStream(false);
    return;
  }
  framer_.Append(buffer, static_cast<std::size_t>(n));
  if (!HandOnEvents()) return;
  // Bytes without their line feed wait for the next read, but not for ever.
  if (framer_.HasTail())
    platform_.Timers().SetTimer(this, kTailTimer, kTailWaitMs);
  else
    platform_.Timers().KillTimer(this, kTailTimer);
}

void CCtiPortSocket::OnTimer(unsigned id) {
  platform_.Timers().KillTimer(this, id);
  // Nothing followed: the bytes are an event of their own, with the time of
  // the read that brought their last byte.
  if (!closed_ && !ended_ && framer_.HasTail()) HandOn(framer_.TakeTail());
}

bool CCtiPortSocket::HandOnEvents() {
  std::string event;
  while (framer_.NextEvent(&event))
    if (!HandOn(event)) return false;
  return true;
}

bool CCtiPortSocket::HandOn(const std::string& event) {
  std::shared_ptr<bool> alive = alive_;
  m_pOwner->OnCtiPortMessage(event, m_strReceiveTime);
  if (!*alive || closed_) return false;
  // The server's farewell is an event of its own: the three letters
  // without a line feed (a line "bye" is an ordinary message).
  if (IsBye(event) && socket_) socket_->ShutdownSend();
  return true;
}

void CCtiPortSocket::EndOfStream(bool readRest) {
  if (ended_ || closed_) return;
  ended_ = true;
  platform_.Timers().KillTimer(this, kTailTimer);
  // The close notification may come before the last reads: what the system
  // still holds belongs to the events before the end.
  char buffer[kMaxRead];
  int n = 0;
  while (readRest && socket_ && (n = socket_->Receive(buffer, kMaxRead)) > 0) {
    m_strReceiveTime = platform_.Loop().CtimeNow();
    framer_.Append(buffer, static_cast<std::size_t>(n));
    if (!HandOnEvents()) return;
  }
  if (framer_.HasTail() && !HandOn(framer_.TakeTail())) return;
  platform_.Debug().Write("Connection to TSG lost\n");
  m_pOwner->OnCtiPortClosed(*this);
}

void CCtiPortSocket::OnClose(int /*error*/) { EndOfStream(true); }
