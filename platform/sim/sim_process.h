// Named mutexes of the simulated desktop.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/process.h"
#include "platform/sim/sim_desktop.h"

namespace fon::sim {

class SimProcess : public IProcess {
 public:
  explicit SimProcess(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}
  // The process ends: its mutexes go with it.
  ~SimProcess() override;
  bool CreateInstanceMutex(const std::string& name) override;

 private:
  std::shared_ptr<SimDesktop> desktop_;
  std::set<std::string> ownMutexes_;
};

}  // namespace fon::sim
