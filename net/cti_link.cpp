#include "net/cti_link.h"

#include "common/debug_text.h"

CCtiLink::CCtiLink(fon::IPlatform& platform, ICtiLinkEvents& events) : platform_(platform), events_(events) {}

CCtiLink::~CCtiLink() {
  *alive_ = false;
  if (socket_) socket_->Close();
}

bool CCtiLink::MakeSocket(const char* createFailureText) {
  auto socket = std::make_unique<CCtiPortSocket>(platform_, this);
  const int error = socket->Create();
  if (error != 0) {
    fon::DebugPrintf(platform_.Debug(), createFailureText, error);
    return false;
  }
  Drop();
  socket_ = std::move(socket);
  return true;
}

void CCtiLink::Drop() {
  m_strLinkState.clear();
  if (!socket_) return;
  // Closed now so that it reports nothing more; destroyed once the current
  // notification (which may be its own) has returned.
  socket_->Close();
  retired_.Release(std::move(socket_));
}

void CCtiLink::Connect(const std::string& host, int port) {
  m_strLinkState.clear();
  m_bConnecting = 1;
  if (socket_) {
    socket_->Connect(host, port);
    return;
  }
  // No socket could be made: end the attempt as a failed connect so that
  // supervision tries again.
  std::shared_ptr<bool> alive = alive_;
  platform_.Loop().Post([this, alive]() {
    if (*alive && m_bConnecting && !socket_) ConnectFailed(platform_.Network().LastError());
  });
}

void CCtiLink::OnCtiPortConnected(CCtiPortSocket& /*socket*/) {
  m_bConnecting = 0;
  m_strLinkState = kLinkConnected;
  events_.OnCtiConnected();
}

void CCtiLink::OnCtiPortConnectFailed(CCtiPortSocket& socket) { ConnectFailed(socket.LastError()); }

void CCtiLink::ConnectFailed(int error) {
  lastError_ = error;
  Drop();
  m_bConnecting = 0;
  events_.OnCtiConnectFailed();
}

void CCtiLink::OnCtiPortMessage(const std::string& message, const std::string& time) {
  events_.OnCtiMessage(message, time);
}

void CCtiLink::OnCtiPortClosed(CCtiPortSocket& socket) {
  events_.OnCtiClosed();
  m_strLinkState.clear();
  socket.Close();
  if (socket_.get() == &socket) Drop();
}
