// The relay request of a command dialog (dial-out, registration, active
// profile, login): at most one pending at a time, sent at once or, for the
// kinds that need the CTI link, one second after asking the link to come
// back; bounded by the dialog's answer timer. Failures and timeouts are told
// to the user here; the answer goes to the dialog.
#pragma once

#include <memory>
#include <string>

#include "common/deferred_release.h"
#include "dialogs/dialog_host.h"
#include "net/relay_socket.h"

class IDialogRelayOwner {
 public:
  // The answer (the first read of the connection; for the login, every
  // read). The answer timer has stopped already.
  virtual void OnDialogRelayAnswer(const std::string& answer) = 0;
  // The request failed or timed out and the user was told.
  virtual void OnDialogRelayFailed() {}

 protected:
  ~IDialogRelayOwner() = default;
};

struct DialogRelayKind;

class CDialogRelay final : public fon::TimerSink, public IRelayOwner {
 public:
  // `kind` is one of the dialog kinds (1, 2, 6, 7).
  CDialogRelay(IDialogHost& host, IDialogRelayOwner& owner, int kind);
  ~CDialogRelay();
  CDialogRelay(const CDialogRelay&) = delete;
  CDialogRelay& operator=(const CDialogRelay&) = delete;

  // Sends `request` to the relay port at `address`:`port`. `shown` is the
  // request as the diagnostics may show it (the login hides its password).
  // A request still pending gives way to this one. true when the request
  // went out or waits for the CTI link; false when it failed (the user has
  // been told).
  bool Send(const std::string& request, const std::string& address, int port, const std::string& shown);
  // Same, with the shown text equal to the request.
  bool Send(const std::string& request, const std::string& address, int port) {
    return Send(request, address, port, request);
  }
  // Sent and waiting for the answer, or waiting to be sent.
  bool Pending() const { return socket_ != nullptr || waiting_; }
  bool WaitingForLink() const { return waiting_; }
  // Drops whatever is pending, without a word to the user (the dialog
  // ends).
  void Cancel();

  void OnTimer(unsigned id) override;
  void OnRelayAnswer(CRelaySocket& socket, const std::string& answer) override;
  void OnRelayClosed(CRelaySocket& socket) override;

 private:
  // Connects and sends the prepared request; `deferred` picks the answer
  // timeout.
  bool ConnectAndSend(bool deferred);
  void Fail(bool timedOut, int error);
  void Retire();
  void HoldBusy(bool hold);
  void ReleaseBusy();

  IDialogHost& host_;
  IDialogRelayOwner& owner_;
  const DialogRelayKind& kind_;
  std::unique_ptr<CRelaySocket> socket_;
  std::string request_;
  std::string shown_;
  std::string address_;
  int port_ = 0;
  bool waiting_ = false;
  bool busy_ = false;
  // Its connects or sends blocking right now (one may run inside another).
  int blocking_ = 0;
  // Counts sends and cancels: a blocking connect that returns to find a
  // newer one under way, or the dialog gone, drops its request.
  unsigned generation_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  fon::DeferredRelease<CRelaySocket> retired_;
};
