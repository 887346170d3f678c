// Diagnostic texts: every debug line of the client is formatted here.
#pragma once

#include <string>

#include "platform/platform.h"

namespace fon {

// Largest diagnostic text, as wsprintf would produce at most.
inline constexpr std::size_t kDebugTextCapacity = 1024;

// printf-style formatting into a bounded buffer: a text longer than the
// capacity is cut, never written past the end.
std::string FormatBounded(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Formats and writes one diagnostic text.
void DebugPrintf(IDebugOutput& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace fon
