// The frame's link to the CTI port: the current socket, whether it is up
// ("Conected"), whether a connect is under way, and how the next connect
// came about. The owner hears of the outcome through ICtiLinkEvents.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/deferred_release.h"
#include "net/cti_port_socket.h"
#include "platform/platform.h"

// The link state while the CTI port is connected (spelt as the rest of the
// client has always spelt it); empty otherwise.
inline constexpr char kLinkConnected[] = "Conected";

// How a connect came about.
enum ReconnectMode : int {
  kConnectAtStart = 0,    // start or new settings: the wait notice is shown
  kReconnectByTimer = 1,  // supervision while the link is down
  kPeriodicRestart = 2,   // the periodic restart: the lists are asked again
};

class ICtiLinkEvents {
 public:
  virtual void OnCtiConnected() = 0;
  virtual void OnCtiConnectFailed() = 0;
  virtual void OnCtiClosed() = 0;
  virtual void OnCtiMessage(const std::string& message, const std::string& time) = 0;

 protected:
  ~ICtiLinkEvents() = default;
};

class CCtiLink final : public ICtiPortOwner {
 public:
  CCtiLink(fon::IPlatform& platform, ICtiLinkEvents& events);
  ~CCtiLink();
  CCtiLink(const CCtiLink&) = delete;
  CCtiLink& operator=(const CCtiLink&) = delete;

  // Makes a fresh socket and creates its handle. The current socket stays
  // as it is until its successor exists; when the handle cannot be made,
  // `createFailureText` is written (with the error) and false returned.
  bool MakeSocket(const char* createFailureText);
  // Closes the socket without a notification; the link is down.
  void Drop();
  // Starts the asynchronous connect of the current socket; the outcome is
  // reported from the message loop, also when there is no socket.
  void Connect(const std::string& host, int port);
  void SetReconnectMode(int mode) { m_nReconnectMode = mode; }

  bool IsLinked() const { return m_strLinkState == kLinkConnected; }
  bool IsConnecting() const { return m_bConnecting != 0; }
  int ReconnectMode() const { return m_nReconnectMode; }
  const std::string& LinkState() const { return m_strLinkState; }
  CCtiPortSocket* Socket() const { return socket_.get(); }
  // The error of the last failed connect.
  int LastError() const { return lastError_; }

  void OnCtiPortConnected(CCtiPortSocket& socket) override;
  void OnCtiPortConnectFailed(CCtiPortSocket& socket) override;
  void OnCtiPortMessage(const std::string& message, const std::string& time) override;
  void OnCtiPortClosed(CCtiPortSocket& socket) override;

 private:
  void ConnectFailed(int error);

  fon::IPlatform& platform_;
  ICtiLinkEvents& events_;
  std::unique_ptr<CCtiPortSocket> socket_;
  // Sockets dropped inside their own notifications; destroyed from the
  // message loop right after.
  fon::DeferredRelease<CCtiPortSocket> retired_{platform_.Loop()};
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  std::string m_strLinkState;
  int m_bConnecting = 0;
  int m_nReconnectMode = kConnectAtStart;
  int lastError_ = 0;
};
