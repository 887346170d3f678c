// The idle timer: while nobody moves the mouse or presses a key for the
// configured minutes, the idle profile is forced on the server and the tray
// shows "away"; the first activity restores what was forced before. Locking
// the workstation counts as leaving at once, unlocking as coming back.
#pragma once

#include <string>

#include "platform/platform.h"
#include "profiles/profile_state.h"
#include "settings/settings_store.h"

// What the idle timer asks of the rest of the client.
class IIdleHost {
 public:
  // Sends GETACTIVEFORCEDPROFILE; its answer refreshes the restore target.
  virtual void AskForcedProfile() = 0;
  // Sends a FORCEPROFILE or CLEARFORCEDPROFILE line as the frame's force
  // request; 1 when it went out.
  virtual int SendForceRequest(const std::string& request) = 0;
  // The switch failed: the user is told with a notice that stays.
  virtual void ShowSwitchFailed() = 0;
  // The user is back: a notice that stays a day goes after a few seconds.
  virtual void CutStickyPopup() = 0;
  virtual void ShowAway(bool away) = 0;

 protected:
  ~IIdleHost() = default;
};

class CIdleTimer {
 public:
  // The tick is the window timer `timerId` of `owner` (the frame).
  CIdleTimer(fon::IPlatform& platform, fon::SettingsStore& settings, fon::TimerSink& owner, unsigned timerId,
             CProfileState& profiles, IIdleHost& host);
  ~CIdleTimer();
  CIdleTimer(const CIdleTimer&) = delete;
  CIdleTimer& operator=(const CIdleTimer&) = delete;

  // ---- start and stop
  // Start-up: on when switched on, with the minutes range-checked.
  void StartAtCreate();
  // The CTI link came up / could not be connected.
  void OnLinkUp();
  void OnLinkFailed();
  // A restore that could not be sent before goes out now (after a connect);
  // it is forgotten only once it has been sent.
  void SendPendingRestore();
  // The configuration was applied: minutes as stored, on or off as set.
  void ApplySettings();
  void Stop(const char* debugText);

  // The tick; false for any other timer of the owner.
  bool OnTimer(unsigned id);
  void OnSessionChange(bool locked);

  // ---- the frame's force request, when it is the switch or the restore
  // Its answer: true when it was the switch's (taken here).
  bool TakeForceAnswer(bool ok);
  // It could not be connected or timed out: true when the switch's.
  bool TakeForceFailure(bool timedOut);

  bool IsRunning() const;
  bool IsAway() const { return m_bAway != 0; }
  bool IsSwitching() const { return m_bIdleActivating != 0; }
  int Seconds() const { return m_nIdleSeconds; }
  int Minutes() const { return m_nIdleMinutes; }

 private:
  void Start(const char* debugText);
  void Tick();
  void OnActivity();
  void SwitchToIdleProfile();
  void Restore();
  void SwitchFailed(const char* debugText);

  fon::IPlatform& platform_;
  fon::SettingsStore& settings_;
  fon::TimerSink& owner_;
  const unsigned timerId_;
  CProfileState& profiles_;
  IIdleHost& host_;

  int m_nIdleMinutes = 0;
  int m_nIdleSeconds = 0;
  fon::Point m_ptLastCursor;
  int m_bAway = 0;
  int m_bIdleActivating = 0;
  // The switch is being sent right now (its requests block and pump
  // messages): a tick inside it must not start a second one.
  bool inSwitch_ = false;
  // The user came back while the switch was still out: its "+OK" is
  // followed by the restore at once.
  bool returnedDuringSwitch_ = false;
  // The restore that went out and has not been answered: one that times
  // out is sent again after the next connect.
  std::string restoreInFlight_;
};
