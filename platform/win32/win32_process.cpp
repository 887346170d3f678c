#include "platform/win32/win32_process.h"

namespace fon::win32 {

bool Win32Process::CreateInstanceMutex(const std::string& name) {
  UniqueKernelHandle mutex(::CreateMutexA(nullptr, TRUE, name.c_str()));
  bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  if (mutex) mutexes_.push_back(std::move(mutex));
  return existed;
}

}  // namespace fon::win32
