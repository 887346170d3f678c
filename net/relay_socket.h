// One relay request: a connection of its own that carries one request line
// and hands the first read back to its owner as the answer.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

// Request kinds: who asked, and so which answer handler and timer apply.
enum RelayKind : int {
  kRelayDialout = 1,
  kRelayRegistration = 2,
  kRelayForce = 3,
  kRelayActiveProfile = 4,
  kRelayProfileList = 5,
  kRelayInformForce = 6,
  kRelayLogin = 7,
  kRelayDevices = 8,
};

// The object that asked: receives the answer and learns when the socket is
// gone.
class IRelayOwner {
 public:
  virtual void OnRelayAnswer(int kind, const std::string& answer) = 0;
  // The server closed the connection without (further) answer.
  virtual void OnRelayClosed(int kind) = 0;

 protected:
  ~IRelayOwner() = default;
};

class CRelaySocket : public fon::ISocketEvents {
 public:
  CRelaySocket(fon::IPlatform& platform, IRelayOwner* owner, int kind);
  ~CRelaySocket();
  int Kind() const { return m_nKind; }

  void OnConnect(int error) override;
  void OnReceive(int error) override;
  void OnClose(int error) override;

 private:
  fon::IPlatform& platform_;
  IRelayOwner* m_pOwner;
  int m_nKind;
  std::unique_ptr<fon::ISocket> socket_;
};
