#include "common/debug_text.h"

#include <cstdarg>
#include <cstdio>

namespace fon {
namespace {

std::string FormatV(const char* format, va_list args) {
  char buffer[kDebugTextCapacity];
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (n < 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n)
                                                                        : sizeof buffer - 1);
}

}  // namespace

std::string FormatBounded(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  return text;
}

void DebugPrintf(IDebugOutput& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  out.Write(text);
}

}  // namespace fon
