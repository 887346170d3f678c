// The long-lived connection to the server's CTI port, over which the server
// pushes call events. The client never sends on it.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

class CCtiPortSocket;

// Who holds the CTI-port socket hears from it through this interface.
class ICtiPortOwner {
 public:
  virtual void OnCtiPortConnected(CCtiPortSocket& socket) = 0;
  virtual void OnCtiPortConnectFailed(CCtiPortSocket& socket) = 0;
  // One event with the ctime text of the read that brought it.
  virtual void OnCtiPortMessage(const std::string& message, const std::string& time) = 0;
  // The server closed the connection. The owner may dispose of the socket
  // here, but must destroy it only after the notification has returned.
  virtual void OnCtiPortClosed(CCtiPortSocket& socket) = 0;

 protected:
  ~ICtiPortOwner() = default;
};

class CCtiPortSocket final : public fon::ISocketEvents {
 public:
  // Largest block handed over per read notification.
  static constexpr int kMaxRead = 4095;

  CCtiPortSocket(fon::IPlatform& platform, ICtiPortOwner* owner);
  ~CCtiPortSocket();
  CCtiPortSocket(const CCtiPortSocket&) = delete;
  CCtiPortSocket& operator=(const CCtiPortSocket&) = delete;

  // Creates the socket handle; 0 or the Windows Sockets error.
  int Create();
  // Starts the asynchronous connect. A connect that cannot even start
  // (empty or unknown host, bad port, no handle) is reported through
  // OnConnect like any failed connect, once the caller has returned.
  void Connect(const std::string& host, int port);
  // Closes the handle; no notification follows.
  void Close();
  int LastError() const { return m_nLastError; }
  const std::string& ReceiveTime() const { return m_strReceiveTime; }

  void OnConnect(int error) override;
  void OnReceive(int error) override;
  void OnClose(int error) override;

 private:
  fon::IPlatform& platform_;
  ICtiPortOwner* m_pOwner;
  std::unique_ptr<fon::ISocket> socket_;
  std::string m_strReceiveTime;
  int m_nLastError = 0;
  // Guards posted notifications against a socket destroyed meanwhile.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
