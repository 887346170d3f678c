// The tray icon: which of its three states it shows follows from the link
// and the away mode, and every change replaces the icon by delete and add.
// A shell that refuses an add (not started yet, or busy) is asked again.
#pragma once

#include <string>

#include "app/frame_ids.h"
#include "platform/platform.h"

class CTrayIcon {
 public:
  // `timerOwner` is the frame: the retry runs on a frame timer.
  CTrayIcon(fon::IPlatform& platform, fon::TimerSink& timerOwner);

  // Adds the icon of the current state (start, and a restarted taskbar).
  void Add();
  // Deletes the icon of the current state, or of every state.
  void Remove();
  void RemoveAll();

  // The link came up or went down. `again` replaces the icon even when the
  // state stays (a closed connection); while away nothing changes.
  void FollowLink(bool linked, bool again = false);
  void EnterAway();
  void LeaveAway(bool linked);

  // A second line of the tip under the link state (the last call, or the
  // calls that came in unseen); the icon shows it at once.
  void SetDetail(const std::string& detail);
  const std::string& Detail() const { return detail_; }

  // The retry timer; false for any other timer.
  bool OnTimer(unsigned id);

  int State() const { return m_nTrayState; }
  bool IsAway() const { return m_bAway != 0; }

  // Fills the icon record for `state` and hands it to the shell with
  // `message` (add, modify or delete); the shell's answer.
  bool SetTrayState(int message, int state);

 private:
  void MoveTo(int state, bool again);
  void StartRetry();

  fon::IPlatform& platform_;
  fon::TimerSink& timerOwner_;
  int m_nTrayState = fon::TrayOffline;
  int m_bAway = 0;
  int retriesLeft_ = 0;
  std::string detail_;
};
