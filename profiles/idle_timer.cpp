#include "profiles/idle_timer.h"

#include "settings/value_rules.h"

using namespace fon;

namespace {

constexpr unsigned kTickMs = 1000;
constexpr unsigned kPauseBeforeSwitchMs = 100;
constexpr int kKeyCodes = 256;
constexpr char kNotActivated[] = "Could not activate Idle Timer";

}  // namespace

CIdleTimer::CIdleTimer(IPlatform& platform, SettingsStore& settings, TimerSink& owner, unsigned timerId,
                       CProfileState& profiles, IIdleHost& host)
    : platform_(platform),
      settings_(settings),
      owner_(owner),
      timerId_(timerId),
      profiles_(profiles),
      host_(host),
      m_ptLastCursor(platform.Input().GetCursorPos().value_or(Point{})) {}

CIdleTimer::~CIdleTimer() { platform_.Timers().KillTimer(&owner_, timerId_); }

bool CIdleTimer::IsRunning() const { return platform_.Timers().IsTimerRunning(&owner_, timerId_); }

void CIdleTimer::Start(const char* debugText) {
  if (IsRunning()) return;
  if (debugText) platform_.Debug().Write(debugText);
  platform_.Timers().SetTimer(&owner_, timerId_, kTickMs);
}

void CIdleTimer::Stop(const char* debugText) {
  // The away state and the server's profile stay as they are.
  if (!IsRunning()) return;
  if (debugText) platform_.Debug().Write(debugText);
  platform_.Timers().KillTimer(&owner_, timerId_);
}

bool CIdleTimer::Wanted() const {
  // No minutes (or fewer) would force the idle profile after a second of
  // rest and restore it at every move: that is the feature switched off.
  return settings_.ReadDword("Idle Timer Checkbox") == 1 && m_nIdleMinutes > 0;
}

void CIdleTimer::StartAtCreate() {
  if (settings_.ReadDword("Idle Timer Checkbox") != 1) return;
  m_nIdleMinutes = IdleMinutesAtStart(settings_.ReadDword("Idle Timer"));
  if (!Wanted()) return;
  platform_.Debug().Write("Activate IDLE TIMER\n");
  Start(nullptr);
}

void CIdleTimer::OnLinkUp() {
  if (Wanted()) Start("start the Idle-Timer\n");
}

void CIdleTimer::SendPendingRestore() {
  // Only while the user is here: one who left again has forgotten it.
  const std::optional<UserRequest> pending = profiles_.PendingRequest();
  if (!pending || phase_ != Phase::kPresent || restoring_) return;
  profiles_.ClearPending();
  restoring_ = true;
  restore_ = *pending;
  host_.RequestSwitch(SwitchPurpose::kRestore, *pending);
}

void CIdleTimer::OnLinkFailed() { Stop("Kill the Idle-Timer\n"); }

void CIdleTimer::ApplySettings() {
  // Taken as stored; the dialog has checked the minutes.
  m_nIdleMinutes = settings_.ReadDword("Idle Timer");
  if (Wanted())
    Start(nullptr);
  else
    Stop(nullptr);
}

bool CIdleTimer::OnTimer(unsigned id) {
  if (id != timerId_) return false;
  Tick();
  return true;
}

void CIdleTimer::Tick() {
  // Runs every second: one cursor query, 256 key queries, nothing allocated
  // unless something is to be sent.
  IInput& input = platform_.Input();
  // A cursor that cannot be read (a locked or switched desktop) has not
  // moved.
  const Point at = input.GetCursorPos().value_or(m_ptLastCursor);
  if (at.x != m_ptLastCursor.x || at.y != m_ptLastCursor.y) {
    OnActivity();
  } else {
    ++m_nIdleSeconds;
    // Minutes as applied from the dialog are not range-checked: no overflow.
    if (m_nIdleSeconds >= static_cast<long long>(m_nIdleMinutes) * 60 && phase_ == Phase::kPresent)
      SwitchToIdleProfile();
  }
  m_ptLastCursor = at;
  // Only a key that went down since the last query and is up again counts
  // (mouse buttons included); one held down all the time does not.
  for (int key = 0; key < kKeyCodes; ++key)
    if (input.IsKeyDown(key)) OnActivity();
}

void CIdleTimer::OnActivity() {
  if (phase_ == Phase::kAway) Restore();
  if (phase_ == Phase::kSwitching) {
    phase_ = Phase::kSwitchingBack;
    // Back before the switch went out: it goes out no more.
    withdrawing_ = true;
    host_.WithdrawSwitch(SwitchPurpose::kIdle);
    withdrawing_ = false;
  }
  host_.CutStickyPopup();
  m_nIdleSeconds = 0;
}

void CIdleTimer::SwitchToIdleProfile() {
  // One switch at a time: its outcome decides, not the ticks that pass
  // meanwhile.
  if (phase_ != Phase::kPresent || host_.SwitchClosed()) return;
  const std::string profile = settings_.ReadString("Idle Timer Profile");
  if (profile.empty()) {
    platform_.Debug().Write(kNotActivated);
    m_nIdleSeconds = 0;
    host_.ShowSwitchFailed();
    return;
  }
  phase_ = Phase::kSwitching;
  // Leaving again before the last return was known to have worked: what
  // that return wanted is still what the user had; a restore kept for the
  // next connect would now undo the switch.
  targetFixed_ = restoring_ || profiles_.HasPending() || owedRestore_;
  if (targetFixed_) {
    restoreTarget_ = restoring_ ? restore_ : profiles_.HasPending() ? *profiles_.PendingRequest() : *owedRestore_;
    profiles_.ClearPending();
    owedRestore_.reset();
  } else {
    restoreTarget_ = RequestFor(profiles_.ForcedProfile());
    // Its answer names what is forced now: the profile to go back to.
    host_.AskForcedProfile();
    platform_.Loop().Sleep(kPauseBeforeSwitchMs);
  }
  if (phase_ == Phase::kSwitchingBack) {
    // Back before anything was sent: nothing to switch.
    phase_ = Phase::kPresent;
    return;
  }
  // An unknown name goes out as id 0; the server decides.
  switchedTo_ = std::to_string(profiles_.FindProfileId(profile).value_or(0));
  host_.RequestSwitch(SwitchPurpose::kIdle, UserRequest::ForProfile("FORCEPROFILE", switchedTo_));
}

void CIdleTimer::Restore() {
  platform_.Debug().Write("Try to kill Idle Timer\n");
  UserRequest request = restoreTarget_ ? *restoreTarget_ : RequestFor(profiles_.ForcedProfile());
  restoreTarget_.reset();
  targetFixed_ = false;
  // Back before the request blocks: activity seen inside it is no second
  // return.
  phase_ = Phase::kPresent;
  host_.ShowAway(false);
  restoring_ = true;
  restore_ = request;
  host_.RequestSwitch(SwitchPurpose::kRestore, std::move(request));
}

UserRequest CIdleTimer::RequestFor(const std::string& forcedProfile) {
  return forcedProfile.empty() ? UserRequest{"CLEARFORCEDPROFILE", ""}
                               : UserRequest::ForProfile("FORCEPROFILE", forcedProfile);
}

void CIdleTimer::OnForcedProfileReported(const std::string& profileId) {
  // The id the switch sent (the list may have changed since) or the one the
  // idle profile has now.
  const std::optional<int> idle = profiles_.FindProfileId(settings_.ReadString("Idle Timer Profile"));
  const bool idleProfile = profileId == switchedTo_ || profileId == std::to_string(idle.value_or(0));
  // While the user is here a report may still be the answer to a question
  // asked before the last switch: it says nothing about what to go back to.
  if (phase_ == Phase::kPresent || targetFixed_ || idleProfile) return;
  restoreTarget_ = RequestFor(profileId);
}

void CIdleTimer::OnSwitchDone(SwitchPurpose purpose, SwitchOutcome outcome) {
  if (purpose == SwitchPurpose::kRestore) {
    if (!restoring_) return;
    restoring_ = false;
    // Whether it took effect is unknown, or it never went out: it goes out
    // again after the next connect, unless the user has left again since
    // (then the next return sends it) or something newer decided.
    const bool keep = outcome == SwitchOutcome::kTimedOut || outcome == SwitchOutcome::kNotSent ||
                      outcome == SwitchOutcome::kRefused;
    if (keep && phase_ == Phase::kPresent) profiles_.KeepPending(restore_);
    if (outcome == SwitchOutcome::kError && phase_ == Phase::kPresent) owedRestore_ = restore_;
    if (outcome == SwitchOutcome::kOk) owedRestore_.reset();
    return;
  }
  if (purpose != SwitchPurpose::kIdle || !IsSwitching()) return;
  const bool cameBack = phase_ == Phase::kSwitchingBack;
  phase_ = Phase::kPresent;
  if (outcome != SwitchOutcome::kOk) {
    // Not away after all: a return that was still owed is owed again,
    // unless something the user decided took the switch's place.
    if (targetFixed_ && restoreTarget_ && (outcome != SwitchOutcome::kPreempted || withdrawing_))
      profiles_.KeepPending(*restoreTarget_);
    restoreTarget_.reset();
    targetFixed_ = false;
  }
  switch (outcome) {
    case SwitchOutcome::kOk:
      platform_.Debug().Write("Idle Timer active\n");
      phase_ = Phase::kAway;
      host_.ShowAway(true);
      // The user came back while it was out: the restore follows at once.
      if (cameBack) OnActivity();
      return;
    case SwitchOutcome::kError:
    case SwitchOutcome::kTimedOut:
      SwitchFailed(kNotActivated);
      return;
    case SwitchOutcome::kNotSent:
      SwitchFailed("Could not activate Idle Timer\n");
      return;
    case SwitchOutcome::kPreempted:
      // Something the user or the exit decided took its place.
      m_nIdleSeconds = 0;
      return;
    case SwitchOutcome::kRefused:
      // Not now (the exit is under way): the count goes on and the next
      // tick asks again.
      return;
  }
}

void CIdleTimer::SwitchFailed(const char* debugText) {
  // Counting starts again from nothing.
  platform_.Debug().Write(debugText);
  m_nIdleSeconds = 0;
  host_.ShowSwitchFailed();
}

void CIdleTimer::OnSessionChange(bool locked) {
  // Only with the idle timer on, a profile to force and the setting not
  // switched off.
  if (!IsRunning() || settings_.ReadDword("Away On Lock", 1) == 0) return;
  if (settings_.ReadString("Idle Timer Profile").empty()) return;
  if (!locked) {
    OnActivity();
    return;
  }
  SwitchToIdleProfile();
}
