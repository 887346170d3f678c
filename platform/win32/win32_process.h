// Named kernel objects the process keeps for its whole life, and what it
// knows of itself and of the client already running for the user.
#pragma once

#include <vector>

#include "platform/process.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

// Marks the WM_COPYDATA that carries a phone link to the running client.
inline constexpr ULONG_PTR kPhoneLinkCopyData = 0x464F4E4C;  // "FONL"
// Longer data is not a phone link and is ignored.
inline constexpr DWORD kPhoneLinkMaxBytes = 2048;

class Win32Process final : public IProcess {
 public:
  explicit Win32Process(std::string launchLink = std::string()) : launchLink_(std::move(launchLink)) {}
  bool CreateInstanceMutex(const std::string& name) override;
  std::string LaunchLink() override { return launchLink_; }
  bool HandLinkToRunningClient(const std::string& link) override;
  std::string ExecutablePath() override;

 private:
  // Instance mutexes stay owned for the life of the process.
  std::vector<UniqueKernelHandle> mutexes_;
  std::string launchLink_;
};

}  // namespace fon::win32
