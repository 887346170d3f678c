#include "platform/win32/win32_registry.h"

#include "platform/win32/win32_handles.h"

#include <climits>

namespace fon::win32 {

namespace {

// Read and write access, as the settings store has always asked for: a key
// the user may read but not change fails like a missing one. The machine's
// defaults are opened for reading only, since no user may write them.
REGSAM OpenAccess(Win32Registry::Access access) {
  return access == Win32Registry::Access::kReadOnly ? KEY_READ : KEY_READ | KEY_WRITE;
}

long Open(HKEY root, Win32Registry::Access access, const std::string& path, UniqueKey* key) {
  HKEY opened = nullptr;
  long rc = ::RegOpenKeyExA(root, path.c_str(), 0, OpenAccess(access), &opened);
  if (rc == ERROR_SUCCESS) key->Reset(opened);
  return rc;
}

}  // namespace

HKEY Win32Registry::Key(const std::string& path, long* rc) {
  auto kept = open_.find(path);
  if (kept != open_.end()) {
    *rc = ERROR_SUCCESS;
    return kept->second.key.Get();
  }
  const ULONGLONG now = ::GetTickCount64();
  if (auto gone = missing_.find(path); gone != missing_.end() && now - gone->second.at < kTrustMs) {
    *rc = gone->second.rc;
    return nullptr;
  }
  UniqueKey key;
  *rc = Open(root_, access_, path, &key);
  if (*rc != ERROR_SUCCESS) {
    missing_[path] = {now, *rc};
    return nullptr;
  }
  missing_.erase(path);
  return open_.emplace(path, Kept{std::move(key), now}).first->second.key.Get();
}

namespace {

// Whether a kept key still exists (it may have been deleted from outside).
bool StillThere(HKEY key) {
  return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

long Win32Registry::CreateKey(const std::string& path) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  if (Checked(path)) return ERROR_SUCCESS;
  // A new key may be the parent of others found missing before.
  missing_.clear();
  HKEY created = nullptr;
  DWORD disposition = 0;
  long rc = ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &created, &disposition);
  UniqueKey key(rc == ERROR_SUCCESS ? created : nullptr);
  if (key) open_.emplace(path, Kept{std::move(key), ::GetTickCount64()});
  return rc;
}

bool Win32Registry::Checked(const std::string& path) {
  auto kept = open_.find(path);
  if (kept == open_.end()) return false;
  const ULONGLONG now = ::GetTickCount64();
  if (now - kept->second.checkedAt < kTrustMs) return true;
  if (StillThere(kept->second.key.Get())) {
    kept->second.checkedAt = now;
    return true;
  }
  open_.erase(kept);
  return false;
}

long Win32Registry::OpenKey(const std::string& path) {
  if (Checked(path)) return ERROR_SUCCESS;
  long rc = ERROR_SUCCESS;
  Key(path, &rc);
  return rc;
}

long Win32Registry::QueryValue(const std::string& path, const std::string& name, std::uint32_t* type,
                               std::string* data, std::size_t bufferSize) {
  long rc = ERROR_SUCCESS;
  HKEY key = Key(path, &rc);
  if (rc != ERROR_SUCCESS) return rc;
  if (bufferSize > ULONG_MAX) bufferSize = ULONG_MAX;
  // The caller's buffer size is the limit: a larger value is ERROR_MORE_DATA,
  // exactly as for a fixed buffer of that size.
  std::string buffer(bufferSize == 0 ? 1 : bufferSize, '\0');
  DWORD size = static_cast<DWORD>(bufferSize);
  DWORD valueType = REG_NONE;
  rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (rc == ERROR_KEY_DELETED) {
    // Deleted (and perhaps made again) from outside: ask the key of now.
    Forget(path);
    key = Key(path, &rc);
    if (rc != ERROR_SUCCESS) return rc;
    size = static_cast<DWORD>(bufferSize);
    rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(buffer.data()), &size);
  }
  if (type) *type = valueType;
  if (rc != ERROR_SUCCESS) return rc;
  if (data) data->assign(buffer.data(), size <= bufferSize ? size : bufferSize);
  return rc;
}

long Win32Registry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                             const std::string& data) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  if (data.size() > ULONG_MAX) return ERROR_INVALID_PARAMETER;
  long rc = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 2; ++attempt) {
    HKEY key = Key(path, &rc);
    if (rc != ERROR_SUCCESS) return rc;
    rc = ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
    if (rc != ERROR_KEY_DELETED) return rc;
    Forget(path);
  }
  return rc;
}

long Win32Registry::DeleteKeyTree(const std::string& path) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  // Never the root itself: an empty path would name the whole hive.
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  // Kept keys inside the tree would keep answering for deleted keys.
  open_.clear();
  missing_.clear();
  return ::RegDeleteTreeA(root_, path.c_str());
}

long Win32Registry::DeleteValue(const std::string& path, const std::string& name) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  UniqueKey key;
  long rc = Open(root_, access_, path, &key);
  if (rc != ERROR_SUCCESS) return rc;
  return ::RegDeleteValueA(key.Get(), name.c_str());
}

}  // namespace fon::win32
