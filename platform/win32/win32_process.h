// Named kernel objects the process keeps for its whole life.
#pragma once

#include <vector>

#include "platform/process.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

class Win32Process final : public IProcess {
 public:
  bool CreateInstanceMutex(const std::string& name) override;

 private:
  // Instance mutexes stay owned for the life of the process.
  std::vector<UniqueKernelHandle> mutexes_;
};

}  // namespace fon::win32
