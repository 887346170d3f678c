// Stream sockets whose notifications (connect, read, close) arrive as window
// messages through WSAAsyncSelect, with connect and send calls that wait in
// a nested message loop.
#pragma once

#include "platform/platform.h"
#include "platform/win32/message_window.h"

#include <map>
#include <memory>
#include <vector>

namespace fon::win32 {

class Win32EventLoop;

// What the notification window knows of one open socket. Shared between
// the socket object and the dispatcher, so that a blocking call can tell,
// after its nested loop, whether its socket was closed or destroyed meanwhile
// without touching the (possibly deleted) socket object.
struct SocketState {
  SOCKET socket = INVALID_SOCKET;
  UINT message = 0;  // the notification message of this socket
  ISocketEvents* events = nullptr;
  bool open = true;
  bool asyncConnect = false;  // an OnConnect is owed for ConnectAsync
  // The end of the connection is told once: by the system's FD_CLOSE, or by
  // the one posted when a read found the end of the stream first.
  bool closeTold = false;
  bool closePosted = false;

  // A blocking connect or send in progress (FD_CONNECT or FD_WRITE), and
  // what the dispatcher has seen for it.
  long waitingFor = 0;
  bool connectDone = false;
  int connectError = 0;
  bool writable = false;
  bool peerClosed = false;
  int peerCloseError = 0;
  bool timedOut = false;
  UINT_PTR timerId = 0;
  // Notifications held back while the socket's own blocking call runs (its
  // owner must not be called back, and possibly destroyed, under that call);
  // re-posted once the call returns.
  std::vector<LPARAM> deferred;
};

class Win32Network final : public INetwork {
 public:
  Win32Network(HINSTANCE instance, Win32EventLoop& loop);
  ~Win32Network() override;

  bool Ready() const { return window_.Handle() != nullptr; }

  std::unique_ptr<ISocket> CreateSocket(ISocketEvents* events, int* error) override;
  int LastError() const override;

  // Used by the sockets.
  void Unregister(SOCKET socket);
  // A read found the end of the stream: makes sure the owner hears of the
  // close, also when no FD_CLOSE is on its way (one that is, is not told
  // twice).
  void EndOfStreamRead(const std::shared_ptr<SocketState>& state);
  // Waits in a nested loop until `state` has what it waits for, the socket is
  // closed, or `timeoutMs` passed. Returns false when the application quits.
  bool Wait(const std::shared_ptr<SocketState>& state, unsigned timeoutMs);

 private:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Dispatch(const std::shared_ptr<SocketState>& state, long event, int error);
  UINT NextMessage();

  Win32EventLoop& loop_;
  std::map<SOCKET, std::shared_ptr<SocketState>> sockets_;
  std::map<UINT_PTR, std::weak_ptr<SocketState>> waits_;
  UINT nextMessage_;
  UINT_PTR nextTimerId_ = 1;
  MessageWindow window_;
};

// Resolves a dotted address or a host name to an IPv4 address. Returns 0 or a
// Windows Sockets error code.
int ResolveIpv4(const std::string& host, int port, sockaddr_in* address);

}  // namespace fon::win32
