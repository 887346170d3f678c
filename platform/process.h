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
  // The tel: or callto: link this process was started for ("" when none).
  virtual std::string LaunchLink() = 0;
  // Gives a link to the client already running for the user; false when
  // none took it.
  virtual bool HandLinkToRunningClient(const std::string& link) = 0;
  // The full path of the running executable.
  virtual std::string ExecutablePath() = 0;
};

}  // namespace fon
