// TEMPORARY profiling, to be removed.
#pragma once
#include "platform/win32/windows_headers.h"
#include <cstdio>
#include <string>
namespace fon::win32::prof {
enum Cat { kReg, kCreate, kDestroy, kSkin, kLook, kRedraw, kPlace, kShowHide, kShell, kOds, kFile, kTimer, kPaint, kCwin, kFont, kDwin, kCount };
inline const char* kNames[kCount] = {"reg", "create", "destroy", "skin", "look", "redraw", "place", "showhide", "shell", "ods", "file", "timer", "paint", "cwin", "font", "dwin"};
struct State {
  double acc[kCount] = {};
  int n[kCount] = {};
  double freq = 0;
  long long lastQueueWait = -1;
  int timersSinceShow = 0;
  double timerMsSinceShow = 0;
};
inline State& S() { static State s; if (s.freq == 0) { LARGE_INTEGER f; ::QueryPerformanceFrequency(&f); s.freq = double(f.QuadPart) / 1000.0; } return s; }
inline double Now() { LARGE_INTEGER c; ::QueryPerformanceCounter(&c); return double(c.QuadPart) / S().freq; }
struct Scope {
  Cat c; double t0;
  explicit Scope(Cat cat) : c(cat), t0(Now()) {}
  ~Scope() { S().acc[c] += Now() - t0; S().n[c]++; }
};
inline void Reset() { for (int i = 0; i < kCount; ++i) { S().acc[i] = 0; S().n[i] = 0; } }
inline std::string Report() {
  std::string r = "PROF";
  char b[96];
  for (int i = 0; i < kCount; ++i) if (S().n[i]) { std::snprintf(b, sizeof b, " %s=%.2f/%d", kNames[i], S().acc[i], S().n[i]); r += b; }
  std::snprintf(b, sizeof b, " qwait=%lld\n", S().lastQueueWait);
  r += b;
  return r;
}
}  // namespace fon::win32::prof
