#include "platform/win32/win32_debug_output.h"

#include <cstdio>

namespace fon::win32 {

std::string FormatLogLine(const SYSTEMTIME& t, const std::string& text) {
  char stamp[32];
  std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond, t.wMilliseconds);
  std::string line = stamp;
  line += text;
  if (text.empty() || text.back() != '\n') line += '\n';
  return line;
}

Win32DebugOutput::Win32DebugOutput(const std::string& logPath) {
  if (logPath.empty()) return;
  // Append-only and shared, so that a test can read the log while we run;
  // every Write goes straight to the file.
  log_.Reset(::CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void Win32DebugOutput::Write(const std::string& text) {
  ::OutputDebugStringA(text.c_str());
  if (!log_) return;
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  std::string line = FormatLogLine(now, text);
  DWORD written = 0;
  ::WriteFile(log_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace fon::win32
