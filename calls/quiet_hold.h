// Quiet while the user presents: while Windows says the user must not be
// disturbed, or a program in front fills the whole screen, call popups and
// the client's own information popups are held back. The calls are counted
// (the tray tip shows how many came in unseen) and the last few callers are
// named in one information popup once the quiet state has ended, followed
// by the information popups that were held.
//
// Whatever the quiet state lasts, what is held stays bounded: one counter,
// the last kQuietNamesKept names and the last kQuietInfosKept messages.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fon {

inline constexpr std::size_t kQuietNamesKept = 5;
inline constexpr std::size_t kQuietInfosKept = 5;
// How often the end of the quiet state is looked for.
inline constexpr unsigned kQuietPollMs = 1000;

// The one rule: with the option on, popups wait while the shell reports
// presentation mode, a full-screen Direct3D program, a busy user or quiet
// time (Focus Assist), or while a window of another program covers the
// screen in front.
bool IsQuietState(UserNotificationState state, bool fullScreenInFront, bool optionOn);

// A text entry's "%d" replaced by a number and each "%s" by the next of
// `values` (kept as they are: a caller may be named "100 % Solar").
std::string FillTemplate(const std::string& entry, int number, const std::vector<std::string>& values = {});

}  // namespace fon

class CQuietHold final : public fon::TimerSink {
 public:
  struct HeldInfo {
    std::string text;
    int sticky = 0;
  };
  // `optionOn` reads the user's option; `deliver` is called once the quiet
  // state has ended, shows what was held and returns false when it cannot
  // yet (then it is asked again).
  CQuietHold(fon::IPlatform& platform, std::function<bool()> optionOn, std::function<bool()> deliver);

  // Asks the option, the shell and the desktop now. While quiet, the end of
  // the quiet state is watched.
  bool IsQuiet();

  void HoldCall(const std::string& callerName);
  void HoldInfo(const std::string& text, int sticky);

  int UnseenCount() const { return unseen_; }
  // The callers held, the newest first.
  const std::deque<std::string>& Names() const { return names_; }
  const std::deque<HeldInfo>& Infos() const { return infos_; }
  // Forgets what was held (it has been shown).
  void Clear();

  void OnTimer(unsigned id) override;

 private:
  void Watch();

  fon::IPlatform& platform_;
  std::function<bool()> optionOn_;
  std::function<bool()> deliver_;
  int unseen_ = 0;
  std::deque<std::string> names_;
  std::deque<HeldInfo> infos_;
};
