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
      m_ptLastCursor(platform.Input().GetCursorPos()) {}

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

void CIdleTimer::StartAtCreate() {
  if (settings_.ReadDword("Idle Timer Checkbox") != 1) return;
  platform_.Debug().Write("Activate IDLE TIMER\n");
  m_nIdleMinutes = IdleMinutesAtStart(settings_.ReadDword("Idle Timer"));
  Start(nullptr);
}

void CIdleTimer::OnLinkUp() {
  if (settings_.ReadDword("Idle Timer Checkbox") == 1) Start("start the Idle-Timer\n");
}

void CIdleTimer::SendPendingRestore() {
  if (!profiles_.HasPending()) return;
  // A copy: a failed restore inside the blocking send may replace it.
  const std::string request = profiles_.PendingRequest();
  if (!host_.SendForceRequest(request)) return;
  restoreInFlight_ = request;
  if (profiles_.PendingRequest() == request) profiles_.ClearPending();
}

void CIdleTimer::OnLinkFailed() { Stop("Kill the Idle-Timer\n"); }

void CIdleTimer::ApplySettings() {
  // The dialog has checked the minutes already.
  m_nIdleMinutes = settings_.ReadDword("Idle Timer");
  const int checkbox = settings_.ReadDword("Idle Timer Checkbox");
  if (checkbox == 1) Start(nullptr);
  if (checkbox == 0) Stop(nullptr);
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
  const Point at = input.GetCursorPos();
  if (at.x != m_ptLastCursor.x || at.y != m_ptLastCursor.y) {
    OnActivity();
  } else {
    ++m_nIdleSeconds;
    // Minutes as applied from the dialog are not range-checked: no overflow.
    if (m_nIdleSeconds >= static_cast<long long>(m_nIdleMinutes) * 60 && !m_bAway) SwitchToIdleProfile();
  }
  m_ptLastCursor = at;
  // Only a key that went down since the last query and is up again counts
  // (mouse buttons included); one held down all the time does not.
  for (int key = 0; key < kKeyCodes; ++key)
    if (input.IsKeyDown(key)) OnActivity();
}

void CIdleTimer::OnActivity() {
  if (m_bAway) Restore();
  if (m_bIdleActivating) returnedDuringSwitch_ = true;
  host_.CutStickyPopup();
  m_nIdleSeconds = 0;
  m_bAway = 0;
}

void CIdleTimer::SwitchToIdleProfile() {
  // One switch at a time: its answer or its timeout decides, not the ticks
  // that pass meanwhile.
  if (inSwitch_ || m_bIdleActivating) return;
  const std::string profile = settings_.ReadString("Idle Timer Profile");
  if (profile.empty()) {
    platform_.Debug().Write(kNotActivated);
    m_nIdleSeconds = 0;
    host_.ShowSwitchFailed();
    return;
  }
  inSwitch_ = true;
  returnedDuringSwitch_ = false;
  // A restore left unanswered long ago is not to be repeated any more.
  restoreInFlight_.clear();
  // Its answer names what is forced now: the profile to go back to.
  host_.AskForcedProfile();
  platform_.Loop().Sleep(kPauseBeforeSwitchMs);
  const std::string userId = std::to_string(settings_.ReadDword("User ID"));
  // An unknown name goes out as id 0; the server decides.
  const int id = profiles_.FindProfileId(profile).value_or(0);
  m_bIdleActivating = 1;
  host_.SendForceRequest("FORCEPROFILE|" + userId + "|" + std::to_string(id));
  inSwitch_ = false;
}

void CIdleTimer::Restore() {
  platform_.Debug().Write("Try to kill Idle Timer\n");
  const std::string userId = std::to_string(settings_.ReadDword("User ID"));
  const std::string& forced = profiles_.ForcedProfile();
  const std::string request =
      forced.empty() ? "CLEARFORCEDPROFILE|" + userId : "FORCEPROFILE|" + userId + "|" + forced;
  // Back before the request blocks: activity seen inside it is no second
  // return.
  m_bAway = 0;
  host_.ShowAway(false);
  if (host_.SendForceRequest(request))
    restoreInFlight_ = request;
  else
    profiles_.KeepPending(request);
}

bool CIdleTimer::TakeForceAnswer(bool ok) {
  // The server has decided on the restore, whatever it said.
  restoreInFlight_.clear();
  if (!m_bIdleActivating) return false;
  m_bIdleActivating = 0;
  if (!ok) {
    SwitchFailed(kNotActivated);
    return true;
  }
  platform_.Debug().Write("Idle Timer active\n");
  m_bAway = 1;
  host_.ShowAway(true);
  if (returnedDuringSwitch_) {
    returnedDuringSwitch_ = false;
    OnActivity();
  }
  return true;
}

bool CIdleTimer::TakeForceFailure(bool timedOut) {
  if (timedOut && !restoreInFlight_.empty()) {
    // Whether it took effect is unknown; sending it again does no harm.
    profiles_.KeepPending(std::move(restoreInFlight_));
    restoreInFlight_.clear();
  }
  if (!m_bIdleActivating) return false;
  m_bIdleActivating = 0;
  SwitchFailed(timedOut ? kNotActivated : "Could not activate Idle Timer\n");
  return true;
}

void CIdleTimer::SwitchFailed(const char* debugText) {
  // Counting starts again from nothing.
  platform_.Debug().Write(debugText);
  m_nIdleSeconds = 0;
  returnedDuringSwitch_ = false;
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
  if (!m_bAway) SwitchToIdleProfile();
}
