// Process-wide objects shared with other processes of the session.
#pragma once

#include <string>

namespace fon {

class IProcess {
 public:
  virtual ~IProcess() = default;
  // Creates the named single-instance mutex (owned for the process life).
  // Returns true when another process had already created it.
  virtual bool CreateInstanceMutex(const std::string& name) = 0;
};

}  // namespace fon
