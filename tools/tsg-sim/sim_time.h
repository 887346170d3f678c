#pragma once

#include <chrono>

namespace tsgsim {

// The protocol classes never read the clock themselves: the loop passes the
// time in, so tests can step it as they like.
using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Millis = std::chrono::milliseconds;

} // namespace tsgsim
