// One stream socket of the core (the CTI-port and relay connections).
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

#include <memory>

namespace fon::win32 {

class Win32Network;
struct SocketState;

class Win32Socket final : public ISocket {
 public:
  Win32Socket(Win32Network& network, UniqueSocket socket, std::shared_ptr<SocketState> state);
  ~Win32Socket() override;

  int ConnectAsync(const std::string& host, int port) override;
  int ConnectBlocking(const std::string& host, int port, unsigned timeoutMs) override;
  int SendAll(const char* data, std::size_t len, unsigned timeoutMs) override;
  int Receive(char* buf, int len) override;
  void ShutdownSend() override;
  void Close() override;
  int LastError() const override { return lastError_; }

 private:
  // Starts a non-blocking connect: 0 when connected at once, kInProgress when
  // the outcome comes as FD_CONNECT, else an error code.
  int StartConnect(const std::string& host, int port);
  int Fail(int error) {
    lastError_ = error;
    return error;
  }

  Win32Network& network_;
  UniqueSocket socket_;
  std::shared_ptr<SocketState> state_;
  int lastError_ = 0;
};

}  // namespace fon::win32
