// Shared helpers of the Win32 layer tests: a platform per test and message
// loops that cannot hang a test run.
#pragma once

#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace fon::win32::testing {

// A frame window's events, all ignored.
class NullFrame final : public IFrameEvents {
 public:
  void OnTrayNotify(unsigned) override {}
  void OnHotKey(int) override {}
  void OnCommand(int) override {}
  void OnClose() override {}
  void OnSize(int) override {}
  void OnTaskbarCreated() override {}
  void OnSessionChange(bool) override {}
  void OnPhoneLink(const std::string&) override {}
  void OnEndSession() override {}
};

// Keeps messages flowing while a test waits: a nested loop only looks at its
// condition after a message.
class Ticker final : public TimerSink {
 public:
  void OnTimer(unsigned) override { ++ticks; }
  int ticks = 0;
};

inline std::unique_ptr<Win32Platform> MakePlatform(const std::string& logPath = std::string()) {
  Win32Platform::Options options;
  options.instance = ::GetModuleHandleA(nullptr);
  options.logPath = logPath;
  return Win32Platform::Create(options);
}

// Runs the platform's loop until `done` or `timeoutMs`; returns done().
inline bool RunUntilOr(Win32Platform& platform, const std::function<bool()>& done, unsigned timeoutMs) {
  Ticker ticker;
  platform.Timers().SetTimer(&ticker, 1, 10);
  const std::uint64_t deadline = platform.Loop().NowMs() + timeoutMs;
  platform.Loop().RunUntil([&] { return done() || platform.Loop().NowMs() >= deadline; });
  platform.Timers().KillAllTimers(&ticker);
  return done();
}

inline void PumpFor(Win32Platform& platform, unsigned ms) {
  RunUntilOr(platform, [] { return false; }, ms);
}

// Takes a WM_QUIT that a test caused (destroying a frame) off the queue, so
// that it does not end the next test's loops. Returns whether there was one.
inline bool TakeQuit() {
  MSG msg{};
  return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace fon::win32::testing
