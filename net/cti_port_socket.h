// The long-lived connection to the server's CTI port, over which the server
// pushes call events. The client never sends on it.
#pragma once

#include <memory>
#include <string>

#include "net/cti_event_framer.h"
#include "platform/platform.h"

class CCtiPortSocket;

// Who holds the CTI-port socket hears from it through this interface.
class ICtiPortOwner {
 public:
  virtual void OnCtiPortConnected(CCtiPortSocket& socket) = 0;
  virtual void OnCtiPortConnectFailed(CCtiPortSocket& socket) = 0;
  // One event with the ctime text of the read that completed it.
  virtual void OnCtiPortMessage(const std::string& message, const std::string& time) = 0;
  // The connection ended (the server closed it, or a read found the end of
  // the stream), after every event it brought; told once. The owner may
  // dispose of the socket here, but must destroy it only after the
  // notification has returned.
  virtual void OnCtiPortClosed(CCtiPortSocket& socket) = 0;

 protected:
  ~ICtiPortOwner() = default;
};

class CCtiPortSocket final : public fon::ISocketEvents, private fon::TimerSink {
 public:
  // Largest block taken per read.
  static constexpr int kMaxRead = 4095;
  // How long bytes without their line feed wait for the rest of their event
  // before they are handed on alone. A server writes each event at once, so
  // the rest of a split event follows within milliseconds even under load;
  // a server that never ends its events with a line feed still sees each
  // of them handled, a moment later.
  static constexpr unsigned kTailWaitMs = 200;

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
  // Closes the handle; no notification follows (bytes still waiting for
  // their line feed are dropped with the connection).
  void Close();
  int LastError() const { return m_nLastError; }
  const std::string& ReceiveTime() const { return m_strReceiveTime; }

  void OnConnect(int error) override;
  void OnReceive(int error) override;
  void OnClose(int error) override;

 private:
  enum : unsigned { kTailTimer = 1 };
  void OnTimer(unsigned id) override;
  // Hands on every whole event the reads brought; false when this socket
  // was destroyed or closed by its owner meanwhile.
  bool HandOnEvents();
  bool HandOn(const std::string& event);
  // Reads what the system still holds (after a close notification), hands
  // on the tail and tells the owner that the connection ended, once.
  void EndOfStream(bool readRest);

  fon::IPlatform& platform_;
  ICtiPortOwner* m_pOwner;
  std::unique_ptr<fon::ISocket> socket_;
  CCtiEventFramer framer_;
  std::string m_strReceiveTime;
  int m_nLastError = 0;
  bool closed_ = false;
  bool ended_ = false;
  // Guards posted notifications against a socket destroyed meanwhile.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
