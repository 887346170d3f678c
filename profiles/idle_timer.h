// The idle timer: while nobody moves the mouse or presses a key for the
// configured minutes, the idle profile is forced on the server and the tray
// shows "away"; the first activity restores what was forced before. Locking
// the workstation counts as leaving at once, unlocking as coming back.
#pragma once

#include <optional>
#include <string>

#include "net/user_request.h"
#include "platform/platform.h"
#include "profiles/profile_state.h"
#include "profiles/profile_switch.h"
#include "settings/settings_store.h"

// What the idle timer asks of the rest of the client.
class IIdleHost {
 public:
  // Sends GETACTIVEFORCEDPROFILE; its answer refreshes the restore target.
  virtual void AskForcedProfile() = 0;
  // Hands a FORCEPROFILE or CLEARFORCEDPROFILE request to the profile
  // switch; its outcome comes back through OnSwitchDone.
  virtual void RequestSwitch(SwitchPurpose purpose, UserRequest request) = 0;
  // The request of `purpose` is no longer wanted (see CProfileSwitch).
  virtual void WithdrawSwitch(SwitchPurpose purpose) = 0;
  // The switch failed: the user is told with a notice that stays.
  virtual void ShowSwitchFailed() = 0;
  // The end profile has gone out (or is going): the idle profile may not
  // follow it.
  virtual bool SwitchClosed() const = 0;
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
  // one that fails again is kept again.
  void SendPendingRestore();
  // The configuration was applied: minutes as stored, on or off as set.
  void ApplySettings();
  void Stop(const char* debugText);

  // The tick; false for any other timer of the owner.
  bool OnTimer(unsigned id);
  void OnSessionChange(bool locked);

  // The outcome of the switch (kIdle) or of the restore (kRestore).
  void OnSwitchDone(SwitchPurpose purpose, SwitchOutcome outcome);
  // The server reported the forced profile (its id, "" for none). While the
  // user is away it names what to go back to, unless it is the idle
  // profile itself (forced by the switch, not by the user).
  void OnForcedProfileReported(const std::string& profileId);

  bool IsRunning() const;
  bool IsAway() const { return phase_ == Phase::kAway; }
  bool IsSwitching() const { return phase_ == Phase::kSwitching || phase_ == Phase::kSwitchingBack; }
  // A restore has been handed to the switch and has not ended yet.
  bool IsRestoring() const { return restoring_; }
  int Seconds() const { return m_nIdleSeconds; }
  int Minutes() const { return m_nIdleMinutes; }

 private:
  enum class Phase {
    kPresent,        // counting the seconds without activity
    kSwitching,      // the switch to the idle profile is out
    kSwitchingBack,  // ... and the user came back meanwhile
    kAway,           // the idle profile is forced
  };
  void Start(const char* debugText);
  // Runs only with the feature on and a positive number of minutes.
  bool Wanted() const;
  static UserRequest RequestFor(const std::string& forcedProfile);
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
  Phase phase_ = Phase::kPresent;
  // The restore handed to the switch and not ended yet; one that times out
  // or cannot be sent is kept for the next connect.
  bool restoring_ = false;
  UserRequest restore_;
  // What the next restore sends: the profile forced when the user left, as
  // later reports correct it. When the user left again before the last
  // return was known to have worked, that return's request, and no report
  // changes it (the server may still have the idle profile forced).
  std::optional<UserRequest> restoreTarget_;
  bool targetFixed_ = false;
  // A return the server refused: the idle profile may still be forced, so
  // the next switch goes back to this, not to what the server reports.
  std::optional<UserRequest> owedRestore_;
  // The user's return is calling the switch off right now.
  bool withdrawing_ = false;
  // The profile id the last switch to the idle profile sent.
  std::string switchedTo_;
};
