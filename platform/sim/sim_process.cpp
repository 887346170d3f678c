#include "platform/sim/sim_process.h"

namespace fon::sim {

SimProcess::~SimProcess() {
  for (const auto& name : ownMutexes_) desktop_->mutexes.erase(name);
}

bool SimProcess::CreateInstanceMutex(const std::string& name) {
  if (desktop_->mutexes.count(name)) return true;
  desktop_->mutexes.insert(name);
  ownMutexes_.insert(name);
  return false;
}

}  // namespace fon::sim
