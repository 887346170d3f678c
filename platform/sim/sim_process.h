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
  std::string LaunchLink() override { return launchLink; }
  // Straight to the oldest other frame of the desktop, while this call runs.
  bool HandLinkToRunningClient(const std::string& link) override;
  std::string ExecutablePath() override { return executablePath; }
  const std::shared_ptr<SimDesktop>& SharedDesktop() const { return desktop_; }

  std::string launchLink;
  std::string executablePath = "C:\\Program Files\\Fonaris\\fonaris.exe";

 private:
  std::shared_ptr<SimDesktop> desktop_;
  std::set<std::string> ownMutexes_;
};

}  // namespace fon::sim
