#include "net/cti_port_socket.h"

#include <cctype>
#include <cstring>

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
  if (!socket_) return;
  // Room for the terminator behind the largest read.
  char buffer[kMaxRead + 1];
  int n = socket_->Receive(buffer, kMaxRead);
  m_strReceiveTime = platform_.Loop().CtimeNow();
  if (n < 0) {
    m_nLastError = socket_->LastError();
    fon::DebugPrintf(platform_.Debug(), "Error number is %d", m_nLastError);
    return;
  }
  if (n == 0) {
    // The server ended its side without a close notification; the periodic
    // restart replaces this connection.
    socket_->Close();
    return;
  }
  buffer[n] = '\0';
  // A NUL byte ends what the read brought. The server writes one event per
  // write, but events written close together (or while the client was busy
  // in a blocking relay connect) arrive in one read: each line is an event
  // of its own, line feed included, as it would be had it come alone; what
  // follows the last line feed is one more message.
  const std::size_t length = std::strlen(buffer);
  std::shared_ptr<bool> alive = alive_;
  std::string message;
  message.reserve(length);
  std::size_t from = 0;
  do {
    const char* end = static_cast<const char*>(std::memchr(buffer + from, '\n', length - from));
    const std::size_t to = end ? static_cast<std::size_t>(end - buffer) + 1 : length;
    message.assign(buffer + from, to - from);
    from = to;
    m_pOwner->OnCtiPortMessage(message, m_strReceiveTime);
    if (!*alive) return;
    if (IsBye(message) && socket_) socket_->ShutdownSend();
  } while (from < length);
}

void CCtiPortSocket::OnClose(int /*error*/) {
  platform_.Debug().Write("Connection to TSG lost\n");
  m_pOwner->OnCtiPortClosed(*this);
}
