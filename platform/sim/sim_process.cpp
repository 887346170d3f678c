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

bool SimProcess::HandLinkToRunningClient(const std::string& link) {
  // This process has a frame of its own by now, the newest one.
  if (desktop_->frames.size() < 2) return false;
  desktop_->frames.front()->OnPhoneLink(link);
  return true;
}

}  // namespace fon::sim
