#include "platform/win32/win32_network.h"

#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_socket.h"

#include <ws2tcpip.h>

namespace fon::win32 {

namespace {

// Each socket gets its own notification message from this range. Socket
// handle values are reused quickly after closesocket; a notification still
// queued for a closed socket then carries the old message and is dropped
// instead of reaching the new socket with the same handle value.
constexpr UINT kFirstSocketMessage = WM_APP + 0x100;
constexpr UINT kSocketMessageCount = 0x3E00;

constexpr long kAllEvents = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

struct AddrInfoDeleter {
  void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

// Whether a read would find something: data, or the end of the stream.
// Waiting data is the usual case, and FIONREAD tells it at once; a select
// with zero timeout, which also sees the end of the stream, takes
// milliseconds under Wine, on the way of every call event to its popup, so
// it is only asked when no data is there.
bool IsReadable(SOCKET socket) {
  u_long waiting = 0;
  if (::ioctlsocket(socket, FIONREAD, &waiting) == 0 && waiting > 0) return true;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval zero{0, 0};
  return ::select(0, &set, nullptr, nullptr, &zero) == 1;
}

}  // namespace

int ResolveIpv4(const std::string& host, int port, sockaddr_in* address) {
  if (host.empty() || host.find('\0') != std::string::npos) return WSAHOST_NOT_FOUND;
  if (port < 1 || port > 65535) return WSAEINVAL;
  *address = sockaddr_in{};
  address->sin_family = AF_INET;
  address->sin_port = ::htons(static_cast<u_short>(port));
  unsigned long dotted = ::inet_addr(host.c_str());
  if (dotted != INADDR_NONE || host == "255.255.255.255") {
    address->sin_addr.s_addr = dotted;
    return 0;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  std::unique_ptr<addrinfo, AddrInfoDeleter> owner(found);
  if (rc != 0) return rc;
  for (addrinfo* it = found; it; it = it->ai_next) {
    if (it->ai_family == AF_INET && it->ai_addr && it->ai_addrlen >= sizeof(sockaddr_in)) {
      address->sin_addr = reinterpret_cast<const sockaddr_in*>(it->ai_addr)->sin_addr;
      return 0;
    }
  }
  return WSAHOST_NOT_FOUND;
}

Win32Network::Win32Network(HINSTANCE instance, Win32EventLoop& loop)
    : loop_(loop),
      nextMessage_(kFirstSocketMessage),
      window_(instance, [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        *result = 0;
        return OnMessage(message, wParam, lParam);
      }) {}

Win32Network::~Win32Network() {
  // Sockets still alive here outlived their owners; make sure none of their
  // blocking calls or notifications can reach them any more.
  for (auto& entry : sockets_) entry.second->open = false;
}

UINT Win32Network::NextMessage() {
  UINT message = nextMessage_++;
  if (nextMessage_ >= kFirstSocketMessage + kSocketMessageCount) nextMessage_ = kFirstSocketMessage;
  return message;
}

std::unique_ptr<ISocket> Win32Network::CreateSocket(ISocketEvents* events, int* error) {
  int ignored = 0;
  if (!error) error = &ignored;
  if (!window_.Handle()) {
    *error = WSAENETDOWN;
    return nullptr;
  }
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!socket) {
    *error = ::WSAGetLastError();
    return nullptr;
  }
  UINT message = NextMessage();
  if (::WSAAsyncSelect(socket.Get(), window_.Handle(), message, kAllEvents) == SOCKET_ERROR) {
    *error = ::WSAGetLastError();
    return nullptr;
  }
  auto state = std::make_shared<SocketState>();
  state->socket = socket.Get();
  state->message = message;
  state->events = events;
  sockets_[socket.Get()] = state;
  *error = 0;
  return std::make_unique<Win32Socket>(*this, std::move(socket), std::move(state));
}

int Win32Network::LastError() const { return ::WSAGetLastError(); }

void Win32Network::Unregister(SOCKET socket) { sockets_.erase(socket); }

void Win32Network::EndOfStreamRead(const std::shared_ptr<SocketState>& state) {
  if (!state->open || state->closeTold || state->closePosted) return;
  state->closePosted = true;
  ::PostMessageA(window_.Handle(), state->message, static_cast<WPARAM>(state->socket),
                 WSAMAKESELECTREPLY(FD_CLOSE, 0));
}

bool Win32Network::Wait(const std::shared_ptr<SocketState>& state, unsigned timeoutMs) {
  state->timedOut = false;
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  UINT_PTR timerId = nextTimerId_++;
  waits_[timerId] = state;
  // The timer only wakes the loop; the deadline decides.
  ::SetTimer(window_.Handle(), timerId, timeoutMs == 0 ? 1 : timeoutMs, nullptr);

  bool running = loop_.RunUntil([&state, deadline] {
    if (!state->open || state->peerClosed) return true;
    if (state->waitingFor == FD_CONNECT ? state->connectDone : state->writable) return true;
    if (::GetTickCount64() >= deadline) state->timedOut = true;
    return state->timedOut;
  });

  ::KillTimer(window_.Handle(), timerId);
  waits_.erase(timerId);
  state->waitingFor = 0;
  std::vector<LPARAM> deferred;
  deferred.swap(state->deferred);
  if (state->open) {
    for (LPARAM lParam : deferred) {
      ::PostMessageA(window_.Handle(), state->message, static_cast<WPARAM>(state->socket), lParam);
    }
  }
  return running;
}

bool Win32Network::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    auto it = waits_.find(static_cast<UINT_PTR>(wParam));
    if (it != waits_.end()) {
      if (auto state = it->second.lock()) state->timedOut = true;
    }
    return true;
  }
  if (message < kFirstSocketMessage || message >= kFirstSocketMessage + kSocketMessageCount) return false;
  auto it = sockets_.find(static_cast<SOCKET>(wParam));
  if (it == sockets_.end() || it->second->message != message) return true;  // closed meanwhile
  std::shared_ptr<SocketState> state = it->second;
  if (WSAGETSELECTEVENT(lParam) != 0) {
    Dispatch(state, static_cast<long>(WSAGETSELECTEVENT(lParam)), static_cast<int>(WSAGETSELECTERROR(lParam)));
  }
  return true;
}

void Win32Network::Dispatch(const std::shared_ptr<SocketState>& state, long event, int error) {
  if (event == FD_WRITE) {
    state->writable = true;
    return;
  }
  if (state->waitingFor != 0) {
    if (event == FD_CONNECT && state->waitingFor == FD_CONNECT) {
      state->connectDone = true;
      state->connectError = error;
      return;
    }
    if (event == FD_CLOSE) {
      state->peerClosed = true;
      state->peerCloseError = error;
    }
    if (event == FD_READ || event == FD_CLOSE || event == FD_CONNECT) {
      state->deferred.push_back(WSAMAKESELECTREPLY(event, error));
    }
    return;
  }

  ISocketEvents* events = state->events;
  if (!events) return;
  // The callbacks may close or delete the socket; nothing of it is used
  // after the call.
  switch (event) {
    case FD_CONNECT:
      if (!state->asyncConnect) return;  // a blocking connect already reported it
      state->asyncConnect = false;
      if (error != 0) ::WSASetLastError(error);
      events->OnConnect(error);
      return;
    case FD_READ:
      // A read notification can outlive the data it announced (the owner
      // read more than one block); do not report a read with nothing there.
      if (error == 0 && !IsReadable(state->socket)) return;
      if (error != 0) ::WSASetLastError(error);
      events->OnReceive(error);
      return;
    case FD_CLOSE:
      // A late read may have found the end of the stream first and posted
      // its own; the owner hears of the close once.
      if (state->closeTold) return;
      state->closeTold = true;
      if (error != 0) ::WSASetLastError(error);
      events->OnClose(error);
      return;
    default:
      return;  // out-of-band data and accept are not used
  }
}

}  // namespace fon::win32
