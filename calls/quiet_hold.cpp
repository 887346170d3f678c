#include "calls/quiet_hold.h"

#include <climits>

namespace fon {

namespace {

constexpr unsigned kPollTimer = 1;

}  // namespace

bool IsQuietState(UserNotificationState state, bool fullScreenInFront, bool optionOn) {
  if (!optionOn) return false;
  switch (state) {
    case UserNotificationState::kBusy:
    case UserNotificationState::kRunningD3dFullScreen:
    case UserNotificationState::kPresentationMode:
    case UserNotificationState::kQuietTime:
      return true;
    default:
      return fullScreenInFront;
  }
}

std::string FillTemplate(const std::string& entry, int number, const std::vector<std::string>& values) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < entry.size(); ++i) {
    if (entry[i] == '%' && i + 1 < entry.size() && entry[i + 1] == 'd') {
      out += std::to_string(number);
      ++i;
    } else if (entry[i] == '%' && i + 1 < entry.size() && entry[i + 1] == 's') {
      if (next < values.size()) out += values[next++];
      ++i;
    } else {
      out += entry[i];
    }
  }
  return out;
}

}  // namespace fon

using namespace fon;

CQuietHold::CQuietHold(IPlatform& platform, std::function<bool()> optionOn, std::function<bool()> deliver)
    : platform_(platform), optionOn_(std::move(optionOn)), deliver_(std::move(deliver)) {}

bool CQuietHold::IsQuiet() {
  // The option first: switched off, the desktop is not even asked.
  if (!optionOn_ || !optionOn_()) return false;
  IDesktop& desktop = platform_.Desktop();
  const bool quiet = IsQuietState(desktop.QueryUserNotificationState(), desktop.FullScreenWindowInFront(), true);
  if (quiet) Watch();
  return quiet;
}

void CQuietHold::Watch() {
  if (!platform_.Timers().IsTimerRunning(this, kPollTimer)) platform_.Timers().SetTimer(this, kPollTimer, kQuietPollMs);
}

void CQuietHold::HoldCall(const std::string& callerName) {
  if (unseen_ < INT_MAX) ++unseen_;
  names_.push_front(callerName);
  if (names_.size() > kQuietNamesKept) names_.pop_back();
  Watch();
}

void CQuietHold::HoldInfo(const std::string& text, int sticky) {
  infos_.push_back({text, sticky});
  if (infos_.size() > kQuietInfosKept) infos_.pop_front();
  Watch();
}

void CQuietHold::Clear() {
  unseen_ = 0;
  names_.clear();
  infos_.clear();
}

void CQuietHold::OnTimer(unsigned id) {
  if (id != kPollTimer) return;
  if (unseen_ == 0 && infos_.empty()) {
    platform_.Timers().KillTimer(this, kPollTimer);
    return;
  }
  if (IsQuiet()) return;
  if (deliver_ && !deliver_()) return;
  platform_.Timers().KillTimer(this, kPollTimer);
}
