// The frame's own relay requests: at most one pending request of each of its
// kinds (force or clear a profile, the active forced profile, the profile
// list, the device list), each bounded by its timer on the frame.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "common/deferred_release.h"
#include "net/relay_socket.h"
#include "net/user_request.h"
#include "platform/platform.h"
#include "profiles/profile_switch.h"
#include "settings/settings_store.h"

class CMainFrame;
struct FrameRelayKind;

class CFrameRelay final : public IRelayOwner, public IForceChannel {
 public:
  CFrameRelay(fon::IPlatform& platform, fon::SettingsStore& settings, CMainFrame& frame);
  ~CFrameRelay() = default;
  CFrameRelay(const CFrameRelay&) = delete;
  CFrameRelay& operator=(const CFrameRelay&) = delete;

  // Connects to the relay port (blocking, the message loop keeps running),
  // sends the request for the user stored then and starts the timer
  // `timerId`, which names the kind. 1 when the request went out, 0
  // otherwise (also when a newer request of the kind was made while this
  // one was being connected: the newer one counts). The connect waits at
  // most `connectTimeoutMs`.
  int Send(const UserRequest& request, unsigned timerId, unsigned connectTimeoutMs = kRelayConnectTimeoutMs);
  // ---- IForceChannel: the force request, sent for the profile switch
  bool SendForce(const UserRequest& request, unsigned connectTimeoutMs) override;
  void DropForce() override;
  // A request of `kind` is out and waits for its answer.
  bool Pending(int kind) const;
  // A frame timer: true when it was the timeout of one of the requests.
  bool OnTimer(unsigned timerId);
  // The answer of `kind` has been taken: its timer stops, the request ends.
  void Finish(int kind);

  // Requests being connected or sent right now.
  int RelayBusy() const { return m_nRelayBusy; }
  // A dialog's request is being prepared, connected or sent, or waits for
  // the CTI link: it counts as busy as the frame's own do.
  void RaiseBusy() { ++m_nRelayBusy; }
  void LowerBusy();
  // "User ID" as read by the last send.
  int UserId() const { return m_nUserId; }

  void OnRelayAnswer(CRelaySocket& socket, const std::string& answer) override;
  void OnRelayClosed(CRelaySocket& socket) override;

 private:
  struct Slot {
    const FrameRelayKind* kind;
    std::unique_ptr<CRelaySocket> socket;
    // A later request of this kind could not connect and told the user so:
    // this one's timeout adds no second notice.
    bool failureReported = false;
    // Counts the sends and drops of the kind: a blocking connect that
    // returns to find a newer one gives way.
    unsigned generation = 0;
  };
  Slot* SlotOfKind(int kind);
  Slot* SlotOfTimer(unsigned timerId);
  // Stops the kind's timer and closes the pending socket; it is destroyed
  // from the message loop (its own notification may be running).
  void Retire(Slot& slot);
  // Writes the kind's debug text and, unless the user already knows of the
  // failure, tells the user.
  void ReportFailure(const Slot& slot, bool timedOut, bool userKnows);

  fon::IPlatform& platform_;
  fon::SettingsStore& settings_;
  CMainFrame& frame_;
  std::array<Slot, 4> slots_;
  fon::DeferredRelease<CRelaySocket> retired_{platform_.Loop()};

  int m_nRelayBusy = 0;
  int m_nUserId = 0;
};
