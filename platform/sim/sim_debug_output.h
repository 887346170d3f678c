// The debugger channel, kept as lines for tests to read.
#pragma once

#include <string>
#include <vector>

#include "platform/debug_output.h"

namespace fon::sim {

class SimDebug final : public IDebugOutput {
 public:
  void Write(const std::string& text) override { lines.push_back(text); }
  bool Contains(const std::string& text) const;
  int Count(const std::string& text) const;
  std::vector<std::string> lines;
};

}  // namespace fon::sim
