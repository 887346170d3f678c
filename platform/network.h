// Stream sockets with notifications from the message loop, and blocking
// calls that keep the loop running.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace fon {

// Windows Sockets error codes the core refers to.
enum : int {
  kWsaEWouldBlock = 10035,
  kWsaEInval = 10022,
  kWsaETimedOut = 10060,
  kWsaEConnRefused = 10061,
  kWsaHostNotFound = 11001,
  kWsaENotConn = 10057,
  kWsaENotSock = 10038,
};

// Notifications of a socket; they arrive from the message loop.
class ISocketEvents {
 public:
  virtual void OnConnect(int error) = 0;
  virtual void OnReceive(int error) = 0;
  virtual void OnClose(int error) = 0;

 protected:
  ~ISocketEvents() = default;
};

class ISocket {
 public:
  virtual ~ISocket() = default;
  // Starts a connect; the outcome arrives in OnConnect. Returns 0 when the
  // attempt is under way, else a Windows Sockets error code (empty or
  // unresolvable host, port out of range, ...) and no notification follows.
  virtual int ConnectAsync(const std::string& host, int port) = 0;
  // Connects and waits, keeping the message loop running, at most
  // `timeoutMs`. Returns 0 or an error code (WSAETIMEDOUT for the bound).
  // The outcome is only this result: no OnConnect notification follows.
  virtual int ConnectBlocking(const std::string& host, int port, unsigned timeoutMs) = 0;
  // Sends every byte, keeping the message loop running while the peer does
  // not take them, at most `timeoutMs`. Returns 0 or an error code.
  // Notifications of this socket wait until the call has returned.
  virtual int SendAll(const char* data, std::size_t len, unsigned timeoutMs) = 0;
  // Reads what is there without blocking: bytes read, 0 at end of stream,
  // -1 on error (see LastError).
  virtual int Receive(char* buf, int len) = 0;
  virtual void ShutdownSend() = 0;
  // Closes the handle; no notification follows.
  virtual void Close() = 0;
  virtual int LastError() const = 0;
};

class INetwork {
 public:
  virtual ~INetwork() = default;
  // A stream socket with all notifications going to `events`. On failure
  // returns nullptr and stores the Windows Sockets error in *error.
  virtual std::unique_ptr<ISocket> CreateSocket(ISocketEvents* events, int* error) = 0;
  virtual int LastError() const = 0;
};

}  // namespace fon
