// The settings keys under HKEY_CURRENT_USER. Every call opens the key it
// needs and closes it before returning; error codes are the registry's own.
#pragma once

#include "platform/platform.h"

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

class Win32Registry final : public IRegistry {
 public:
  // `root` is HKEY_CURRENT_USER in the program; tests may point it elsewhere.
  explicit Win32Registry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

  long CreateKey(const std::string& path) override;
  long OpenKey(const std::string& path) override;
  long QueryValue(const std::string& path, const std::string& name, std::uint32_t* type, std::string* data,
                  std::size_t bufferSize) override;
  long SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::string& data) override;

 private:
  HKEY root_;
};

}  // namespace fon::win32
