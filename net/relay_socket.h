// One relay request: a connection of its own that carries one request line
// and hands the first read back to its owner as the answer.
#pragma once

#include <memory>
#include <string>

#include "net/relay_kinds.h"
#include "platform/platform.h"

// The owner's window timer that bounds the wait for an answer of this kind:
// 15 for the dialogs' requests and the frame's force request, 16 to 18 for
// the frame's list requests; 0 for an unknown kind.
unsigned RelayTimerId(int kind);

// The login requests go out without the C string's terminating zero byte;
// every other kind sends it with the line.
bool RelaySendsTerminatingZero(int kind);

// Bounds of the blocking phase of a request. The system's own connect
// timeout is about 21 s, far too long for a client whose message loop keeps
// running underneath; a relay port that has not accepted within 5 s is
// treated as unreachable.
inline constexpr unsigned kRelayConnectTimeoutMs = 5000;
inline constexpr unsigned kRelaySendTimeoutMs = 5000;

class CRelaySocket;

// The object that asked (the frame or a dialog). Both calls come from a
// notification of `socket`; the owner may dispose of the socket inside them
// but must not destroy it before the call has returned (close it and delete
// it from the message loop afterwards).
class IRelayOwner {
 public:
  // The first read of the connection: the whole answer as text.
  virtual void OnRelayAnswer(CRelaySocket& socket, const std::string& answer) = 0;
  // The server closed the connection; the owner stops the kind's timer and
  // drops the socket. Nothing is reported to the user.
  virtual void OnRelayClosed(CRelaySocket& socket) = 0;

 protected:
  ~IRelayOwner() = default;
};

class CRelaySocket final : public fon::ISocketEvents {
 public:
  // Largest answer handed over: one read of a 4096-byte buffer that keeps
  // room for the terminator.
  static constexpr int kMaxAnswer = 4095;

  CRelaySocket(fon::IPlatform& platform, IRelayOwner* owner, int kind);
  ~CRelaySocket();
  CRelaySocket(const CRelaySocket&) = delete;
  CRelaySocket& operator=(const CRelaySocket&) = delete;

  int Kind() const { return m_nKind; }
  IRelayOwner* Owner() const { return m_pOwner; }
  int LastError() const { return m_nLastError; }

  // Creates the stream socket; 0 or the Windows Sockets error.
  int Create();
  // Connects and waits while the message loop keeps running, at most
  // `timeoutMs`, then reports the outcome as a connect notification would.
  // 0 or the error.
  int Connect(const std::string& host, int port, unsigned timeoutMs = kRelayConnectTimeoutMs);
  // Sends the request line in one piece, with the terminating zero byte
  // where the kind wants it. 0 or the error.
  int SendRequest(const std::string& line);
  // Closes the handle; no notification follows.
  void Close();

  void OnConnect(int error) override;
  void OnReceive(int error) override;
  void OnClose(int error) override;

 private:
  fon::IPlatform& platform_;
  IRelayOwner* m_pOwner;
  int m_nKind;
  int m_nLastError = 0;
  std::unique_ptr<fon::ISocket> socket_;
};
