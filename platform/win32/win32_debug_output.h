// Diagnostic texts: the debugger channel, and optionally a log file that
// keeps every text whole (the debugger channel under Wine cuts long ones).
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

// One log-file line: local time "YYYY-MM-DD HH:MM:SS.mmm ", the text, and a
// line end when the text has none of its own.
std::string FormatLogLine(const SYSTEMTIME& localTime, const std::string& text);

class Win32DebugOutput final : public IDebugOutput {
 public:
  // An empty path writes to the debugger channel only.
  explicit Win32DebugOutput(const std::string& logPath);

  bool LogOpen() const { return log_.Valid(); }
  void Write(const std::string& text) override;

 private:
  UniqueFile log_;
};

}  // namespace fon::win32
