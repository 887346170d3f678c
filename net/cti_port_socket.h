// The long-lived connection to the server's CTI port, over which the server
// pushes call events. The client never sends on it.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

class CMainFrame;

class CCtiPortSocket final : public fon::ISocketEvents {
 public:
  // Largest block handed over per read notification.
  static constexpr int kMaxRead = 4095;

  explicit CCtiPortSocket(CMainFrame* owner);
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
  CMainFrame* m_pOwner;
  std::unique_ptr<fon::ISocket> socket_;
  std::string m_strReceiveTime;
  int m_nLastError = 0;
  // Guards posted notifications against a socket destroyed meanwhile.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
