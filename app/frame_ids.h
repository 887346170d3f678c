// Fixed numbers of the main frame: timers, tray states, hotkey. Resource
// ids (icons, menus, commands) come from res/resource.h, text ids from the
// generated text_ids.h.
#pragma once

#include "res/resource.h"

namespace fon {

// Frame timers (window timers of the main frame).
enum FrameTimer : unsigned {
  ID_TIMER_RECONNECT = 0,
  ID_TIMER_IDLE = 1,
  ID_TIMER_QUIT = 2,
  ID_TIMER_TRAY_CLICK = 3,
  ID_TIMER_TRAY_MENU = 4,
  ID_TIMER_INFORM_PROFILE = 6,
  ID_TIMER_RESTART = 7,
  ID_TIMER_RELAY_FORCE = 15,
  ID_TIMER_RELAY_ACTIVE = 16,
  ID_TIMER_RELAY_PROFILES = 17,
  ID_TIMER_RELAY_DEVICES = 18,
  // A tray icon add that failed (no shell yet) is retried on this timer.
  ID_TIMER_TRAY_RETRY = 19,
  // Wakes the wait for the end profile's answer when the session ends.
  ID_TIMER_SESSION_END = 20,
  ID_TIMER_EXIT = 789,
};

inline constexpr unsigned kReconnectIntervalMs = 30000;
inline constexpr unsigned kRestartIntervalMs = 120000;
inline constexpr unsigned kQuitDelayMs = 1000;
inline constexpr unsigned kExitDelayMs = 500;
// All the session end may take: Windows does not wait long for a program.
inline constexpr unsigned kSessionEndBoundMs = 2000;
inline constexpr unsigned kTrayMenuRetryMs = 500;
inline constexpr unsigned kInformProfileRetryMs = 1000;
// A popup that stays a day goes this long after the user is back.
inline constexpr int kStickyStayOnReturnMs = 5000;
inline constexpr unsigned kFrameRelayTimeoutMs = 5000;
inline constexpr unsigned kTrayRetryIntervalMs = 1000;
inline constexpr int kTrayRetryAttempts = 60;

// Tray states.
enum TrayState : int { TrayOffline = 1, TrayOnline = 2, TrayAway = 3 };

inline constexpr int ID_HOTKEY_DIALOUT = 4096;
inline constexpr unsigned kDefaultHotkeyVk = 119;  // F8

inline constexpr int SIZE_MINIMIZED = 1;

}  // namespace fon
