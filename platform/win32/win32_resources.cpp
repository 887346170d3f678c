#include "platform/win32/win32_resources.h"

namespace fon::win32 {

std::string Win32Resources::LoadString(int id) {
  char buffer[1024] = {};
  int n = ::LoadStringA(instance_, static_cast<UINT>(id), buffer, sizeof(buffer));
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace fon::win32
