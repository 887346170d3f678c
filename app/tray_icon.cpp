#include "app/tray_icon.h"

#include "res/resource.h"

using namespace fon;

namespace {

// Longest tooltip the icon record holds, without its terminator.
constexpr std::size_t kMaxTipLength = 63;

int StateFor(bool linked, bool away) { return away ? TrayAway : linked ? TrayOnline : TrayOffline; }

}  // namespace

CTrayIcon::CTrayIcon(IPlatform& platform, TimerSink& timerOwner) : platform_(platform), timerOwner_(timerOwner) {}

bool CTrayIcon::SetTrayState(int message, int state) {
  int icon = 0;
  std::string tip;
  switch (state) {
    case TrayOffline:
      icon = IDI_TRAY_OFFLINE;
      tip = "CTI - offline";
      break;
    case TrayOnline:
      icon = IDI_TRAY_ONLINE;
      tip = "CTI - online";
      break;
    case TrayAway:
      icon = IDI_TRAY_AWAY;
      tip = "CTI - away";
      break;
    default:
      break;
  }
  if (!detail_.empty() && !tip.empty()) tip += "\n" + detail_;
  bool done = platform_.Tray().NotifyIcon(message, icon, tip.substr(0, kMaxTipLength));
  if (message == kTrayAdd && !done) StartRetry();
  return done;
}

void CTrayIcon::SetDetail(const std::string& detail) {
  if (detail == detail_) return;
  detail_ = detail;
  platform_.Debug().Write("Tray tip: " + detail_ + "\n");
  SetTrayState(kTrayModify, m_nTrayState);
}

void CTrayIcon::Add() { SetTrayState(kTrayAdd, m_nTrayState); }

void CTrayIcon::Remove() { SetTrayState(kTrayDelete, m_nTrayState); }

void CTrayIcon::RemoveAll() {
  for (int state = TrayOffline; state <= TrayAway; ++state) SetTrayState(kTrayDelete, state);
}

void CTrayIcon::MoveTo(int state, bool again) {
  if (state == m_nTrayState && !again) return;
  // Whatever may be shown goes first, the icon of the new state last, so
  // that the shell never holds two of them.
  if (m_nTrayState == TrayAway && state != TrayAway) {
    SetTrayState(kTrayDelete, TrayAway);
  } else if (state == TrayOffline) {
    SetTrayState(kTrayDelete, TrayOnline);
    SetTrayState(kTrayDelete, TrayOffline);
  } else {
    SetTrayState(kTrayDelete, TrayOffline);
    SetTrayState(kTrayDelete, TrayOnline);
  }
  SetTrayState(kTrayAdd, state);
  m_nTrayState = state;
}

void CTrayIcon::FollowLink(bool linked, bool again) {
  if (m_bAway) return;
  MoveTo(StateFor(linked, false), again);
}

void CTrayIcon::EnterAway() {
  MoveTo(StateFor(false, true), false);
  m_bAway = 1;
}

void CTrayIcon::LeaveAway(bool linked) {
  m_bAway = 0;
  MoveTo(StateFor(linked, false), false);
}

void CTrayIcon::StartRetry() {
  // A shell that is still starting, or too busy to answer in time, refuses
  // the add; a failure while a retry runs does not prolong it.
  if (platform_.Timers().IsTimerRunning(&timerOwner_, ID_TIMER_TRAY_RETRY)) return;
  retriesLeft_ = kTrayRetryAttempts;
  platform_.Timers().SetTimer(&timerOwner_, ID_TIMER_TRAY_RETRY, kTrayRetryIntervalMs);
}

bool CTrayIcon::OnTimer(unsigned id) {
  if (id != ID_TIMER_TRAY_RETRY) return false;
  // An icon that exists meanwhile (added by a state change) only takes the
  // current state; otherwise it is added again.
  bool shown = SetTrayState(kTrayModify, m_nTrayState) || SetTrayState(kTrayAdd, m_nTrayState);
  if (shown || --retriesLeft_ <= 0) {
    platform_.Timers().KillTimer(&timerOwner_, ID_TIMER_TRAY_RETRY);
    if (!shown) platform_.Debug().Write("Tray icon could not be added\n");
  }
  return true;
}
