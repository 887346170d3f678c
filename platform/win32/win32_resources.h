// The string table of the executable.
#pragma once

#include "platform/resources.h"
#include "platform/win32/windows_headers.h"

namespace fon::win32 {

class Win32Resources final : public IResources {
 public:
  explicit Win32Resources(HINSTANCE instance) : instance_(instance) {}
  std::string LoadString(int id) override;

 private:
  HINSTANCE instance_;
};

}  // namespace fon::win32
