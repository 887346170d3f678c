// The settings keys under one root: HKEY_CURRENT_USER for the user's own
// settings, HKEY_LOCAL_MACHINE (read only) for an administrator's defaults.
// Error codes are the registry's own.
//
// Keys are kept open once opened: under Wine every open and every close is
// a round trip to the server, and a call event reads a dozen settings.
// Values are always read afresh; only whether a key exists is taken as it
// was found at most kTrustMs ago (a kept key is checked again after that,
// a missing one opened again), and a key deleted from outside meanwhile is
// opened afresh by the read that meets it.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

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
  static constexpr ULONGLONG kTrustMs = 50;
  struct Kept {
    UniqueKey key;
    ULONGLONG checkedAt;
  };
  struct Missing {
    ULONGLONG at;
    long rc;
  };
  // The open key of `path` (kept), or null with the registry's error.
  HKEY Key(const std::string& path, long* rc);
  // The key is kept and known to exist.
  bool Checked(const std::string& path);
  void Forget(const std::string& path) { open_.erase(path); }

  HKEY root_;
  Access access_;
  std::map<std::string, Kept> open_;
  std::map<std::string, Missing> missing_;
};

}  // namespace fon::win32
