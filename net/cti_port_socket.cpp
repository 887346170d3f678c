#include "net/cti_port_socket.h"

#include <cctype>
#include <cstring>

#include "app/main_frame.h"
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

CCtiPortSocket::CCtiPortSocket(CMainFrame* owner) : m_pOwner(owner) {}

CCtiPortSocket::~CCtiPortSocket() { *alive_ = false; }

int CCtiPortSocket::Create() {
  int error = 0;
  socket_ = m_pOwner->Platform().Network().CreateSocket(this, &error);
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
  m_pOwner->Platform().Loop().Post([this, alive, error]() {
    if (*alive) OnConnect(error);
  });
}

void CCtiPortSocket::Close() {
  if (socket_) socket_->Close();
}

void CCtiPortSocket::OnConnect(int error) {
  if (error != 0) {
    m_nLastError = error;
    fon::DebugPrintf(m_pOwner->DebugOut(), "OnConnect error: %d", error);
    m_pOwner->OnCtiConnectFailed();
  } else {
    m_pOwner->OnCtiConnected();
  }
}

void CCtiPortSocket::OnReceive(int /*error*/) {
  if (!socket_) return;
  // Room for the terminator behind the largest read.
  char buffer[kMaxRead + 1];
  int n = socket_->Receive(buffer, kMaxRead);
  m_strReceiveTime = m_pOwner->Platform().Loop().CtimeNow();
  if (n < 0) {
    m_nLastError = socket_->LastError();
    fon::DebugPrintf(m_pOwner->DebugOut(), "Error number is %d", m_nLastError);
    return;
  }
  if (n == 0) {
    // The server ended its side without a close notification; the periodic
    // restart replaces this connection.
    socket_->Close();
    return;
  }
  buffer[n] = '\0';
  std::string message(buffer, std::strlen(buffer));  // a NUL byte ends the message
  std::shared_ptr<bool> alive = alive_;
  m_pOwner->OnCtiMessage(message, m_strReceiveTime);
  if (!*alive) return;
  if (IsBye(message) && socket_) socket_->ShutdownSend();
}

void CCtiPortSocket::OnClose(int /*error*/) {
  m_pOwner->Debug("Connection to TSG lost\n");
  m_pOwner->OnCtiClosed();
  m_pOwner->m_strLinkState.clear();
  if (socket_) socket_->Close();
  m_pOwner->ReleaseCtiSocket(this);
}
