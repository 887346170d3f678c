// The debugger channel of the diagnostics.
#pragma once

#include <string>

namespace fon {

class IDebugOutput {
 public:
  virtual ~IDebugOutput() = default;
  // One debug text, exactly as given (OutputDebugStringA).
  virtual void Write(const std::string& text) = 0;
};

}  // namespace fon
