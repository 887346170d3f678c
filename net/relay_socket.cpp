#include "net/relay_socket.h"

#include "common/debug_text.h"

unsigned RelayTimerId(int kind) {
  const RelayKindInfo* info = FindRelayKind(kind);
  return info ? info->timerId : 0;
}

bool RelaySendsTerminatingZero(int kind) {
  const RelayKindInfo* info = FindRelayKind(kind);
  return info == nullptr || info->sendsZero;
}

CRelaySocket::CRelaySocket(fon::IPlatform& platform, IRelayOwner* owner, int kind)
    : platform_(platform), m_pOwner(owner), m_nKind(kind) {}

CRelaySocket::~CRelaySocket() = default;

int CRelaySocket::Create() {
  int error = 0;
  socket_ = platform_.Network().CreateSocket(this, &error);
  if (!socket_) {
    // Some platforms report a failed creation without a code.
    m_nLastError = error != 0 ? error : platform_.Network().LastError();
    return m_nLastError != 0 ? m_nLastError : fon::kWsaENotConn;
  }
  return 0;
}

int CRelaySocket::Connect(const std::string& host, int port, unsigned timeoutMs) {
  int error = socket_ ? socket_->ConnectBlocking(host, port, timeoutMs) : fon::kWsaENotConn;
  // A blocking connect brings no notification of its own; report it here so
  // that the diagnostics read the same as for any other connect.
  OnConnect(error);
  if (error != 0) m_nLastError = error;
  return error;
}

int CRelaySocket::SendRequest(const std::string& line) {
  if (!socket_) return m_nLastError = fon::kWsaENotConn;
  // std::string keeps a zero byte behind its text: it goes out with it.
  std::size_t length = line.size() + (RelaySendsTerminatingZero(m_nKind) ? 1 : 0);
  int error = socket_->SendAll(line.c_str(), length, kRelaySendTimeoutMs);
  if (error != 0) m_nLastError = error;
  return error;
}

void CRelaySocket::Close() {
  if (socket_) socket_->Close();
}

void CRelaySocket::OnConnect(int error) {
  platform_.Debug().Write("Connected(Relay)");
  if (error != 0) fon::DebugPrintf(platform_.Debug(), "OnConnect error: %d", error);
}

void CRelaySocket::OnReceive(int /*error*/) {
  if (!socket_) return;
  char buffer[kMaxAnswer + 1];
  int n = socket_->Receive(buffer, kMaxAnswer);
  if (n < 0) {
    // The request stays pending: its timer reports it if nothing follows.
    m_nLastError = socket_->LastError();
    fon::DebugPrintf(platform_.Debug(), "Error number is %d", m_nLastError);
    return;
  }
  if (n == 0) {
    socket_->Close();
    return;
  }
  buffer[n] = '\0';
  std::string answer(buffer);  // a zero byte ends the answer
  // The owner usually disposes of this socket in its handler: nothing here
  // may touch a member afterwards.
  m_pOwner->OnRelayAnswer(*this, answer);
}

void CRelaySocket::OnClose(int /*error*/) {
  if (socket_) socket_->Close();
  m_pOwner->OnRelayClosed(*this);
}
