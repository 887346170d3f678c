#include "platform/win32/win32_socket.h"

#include "platform/win32/win32_network.h"

#include <algorithm>
#include <climits>

namespace fon::win32 {

namespace {
constexpr int kInProgress = -1;
}

Win32Socket::Win32Socket(Win32Network& network, UniqueSocket socket, std::shared_ptr<SocketState> state)
    : network_(network), socket_(std::move(socket)), state_(std::move(state)) {}

Win32Socket::~Win32Socket() { Close(); }

int Win32Socket::StartConnect(const std::string& host, int port) {
  if (!state_->open) return WSAENOTSOCK;
  if (state_->waitingFor != 0) return WSAEINPROGRESS;
  sockaddr_in address{};
  int rc = ResolveIpv4(host, port, &address);
  if (rc != 0) return rc;
  if (::connect(socket_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return 0;
  int error = ::WSAGetLastError();
  return error == WSAEWOULDBLOCK ? kInProgress : error;
}

int Win32Socket::ConnectAsync(const std::string& host, int port) {
  if (state_->open) state_->asyncConnect = true;
  int rc = StartConnect(host, port);
  if (rc == 0 || rc == kInProgress) return 0;  // FD_CONNECT follows either way
  state_->asyncConnect = false;
  return Fail(rc);
}

int Win32Socket::ConnectBlocking(const std::string& host, int port, unsigned timeoutMs) {
  // A local reference: the nested loop may run code that deletes this
  // object, and then only the shared state may be looked at.
  std::shared_ptr<SocketState> state = state_;
  int rc = StartConnect(host, port);
  if (rc == 0) return Fail(0);
  if (rc != kInProgress) return Fail(rc);

  state->waitingFor = FD_CONNECT;
  state->connectDone = false;
  state->peerClosed = false;
  bool running = network_.Wait(state, timeoutMs);
  if (!state->open) return WSAENOTSOCK;  // closed or deleted meanwhile
  if (state->connectDone) return Fail(state->connectError);
  if (!running) return Fail(WSAEINTR);
  if (state->timedOut) return Fail(WSAETIMEDOUT);
  return Fail(state->peerCloseError != 0 ? state->peerCloseError : WSAECONNRESET);
}

int Win32Socket::SendAll(const char* data, std::size_t len, unsigned timeoutMs) {
  std::shared_ptr<SocketState> state = state_;
  if (!state->open) return Fail(WSAENOTSOCK);
  if (state->waitingFor != 0) return Fail(WSAEINPROGRESS);
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  state->peerClosed = false;
  std::size_t sent = 0;
  while (sent < len) {
    state->writable = false;
    int chunk = static_cast<int>(std::min<std::size_t>(len - sent, INT_MAX));
    int n = ::send(socket_.Get(), data + sent, chunk, 0);
    if (n != SOCKET_ERROR) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    int error = ::WSAGetLastError();
    if (error != WSAEWOULDBLOCK) return Fail(error);
    if (state->peerClosed) return Fail(state->peerCloseError != 0 ? state->peerCloseError : WSAECONNRESET);
    ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return Fail(WSAETIMEDOUT);

    state->waitingFor = FD_WRITE;
    bool running = network_.Wait(state, static_cast<unsigned>(deadline - now));
    if (!state->open) return WSAENOTSOCK;
    if (!running) return Fail(WSAEINTR);
    if (state->timedOut && !state->writable) return Fail(WSAETIMEDOUT);
  }
  return Fail(0);
}

int Win32Socket::Receive(char* buf, int len) {
  if (!state_->open) {
    lastError_ = WSAENOTSOCK;
    return -1;
  }
  int n = ::recv(socket_.Get(), buf, len, 0);
  if (n == SOCKET_ERROR) {
    lastError_ = ::WSAGetLastError();
    return -1;
  }
  if (n == 0 && len > 0) network_.EndOfStreamRead(state_);
  return n;
}

void Win32Socket::ShutdownSend() {
  if (state_->open && ::shutdown(socket_.Get(), SD_SEND) == SOCKET_ERROR) lastError_ = ::WSAGetLastError();
}

void Win32Socket::Close() {
  // A socket that outlived the network layer is no longer registered there,
  // but its handle is still ours to close.
  if (state_->open) {
    state_->open = false;
    network_.Unregister(socket_.Get());
  }
  socket_.Reset();
}

}  // namespace fon::win32
