// The settings keys under one root: HKEY_CURRENT_USER for the user's own
// settings, HKEY_LOCAL_MACHINE (read only) for an administrator's defaults.
// Every call opens the key it needs and closes it before returning; error
// codes are the registry's own.
#pragma once

#include "platform/platform.h"

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

class Win32Registry final : public IRegistry {
 public:
  enum class Access {
    kReadWrite,  // open for reading and writing, as the user's settings are
    kReadOnly,   // open for reading only; creating and writing fail
  };

  // `root` is HKEY_CURRENT_USER in the program; tests may point it elsewhere.
  explicit Win32Registry(HKEY root = HKEY_CURRENT_USER, Access access = Access::kReadWrite)
      : root_(root), access_(access) {}

  long CreateKey(const std::string& path) override;
  long OpenKey(const std::string& path) override;
  long QueryValue(const std::string& path, const std::string& name, std::uint32_t* type, std::string* data,
                  std::size_t bufferSize) override;
  long SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  long DeleteKeyTree(const std::string& path) override;
  long DeleteValue(const std::string& path, const std::string& name) override;

 private:
  HKEY root_;
  Access access_;
};

}  // namespace fon::win32
