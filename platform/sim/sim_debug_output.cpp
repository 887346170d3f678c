#include "platform/sim/sim_debug_output.h"

#include <algorithm>

namespace fon::sim {

bool SimDebug::Contains(const std::string& text) const { return Count(text) > 0; }

int SimDebug::Count(const std::string& text) const {
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

}  // namespace fon::sim
