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

long Win32Registry::CreateKey(const std::string& path) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  HKEY created = nullptr;
  DWORD disposition = 0;
  long rc = ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &created, &disposition);
  UniqueKey key(rc == ERROR_SUCCESS ? created : nullptr);
  return rc;
}

long Win32Registry::OpenKey(const std::string& path) {
  UniqueKey key;
  return Open(root_, access_, path, &key);
}

long Win32Registry::QueryValue(const std::string& path, const std::string& name, std::uint32_t* type,
                               std::string* data, std::size_t bufferSize) {
  UniqueKey key;
  long rc = Open(root_, access_, path, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (bufferSize > ULONG_MAX) bufferSize = ULONG_MAX;
  // The caller's buffer size is the limit: a larger value is ERROR_MORE_DATA,
  // exactly as for a fixed buffer of that size.
  std::string buffer(bufferSize == 0 ? 1 : bufferSize, '\0');
  DWORD size = static_cast<DWORD>(bufferSize);
  DWORD valueType = REG_NONE;
  rc = ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(buffer.data()),
                          &size);
  if (type) *type = valueType;
  if (rc != ERROR_SUCCESS) return rc;
  if (data) data->assign(buffer.data(), size <= bufferSize ? size : bufferSize);
  return rc;
}

long Win32Registry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                             const std::string& data) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  UniqueKey key;
  long rc = Open(root_, access_, path, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (data.size() > ULONG_MAX) return ERROR_INVALID_PARAMETER;
  return ::RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

long Win32Registry::DeleteKeyTree(const std::string& path) {
  if (access_ == Access::kReadOnly) return ERROR_ACCESS_DENIED;
  // Never the root itself: an empty path would name the whole hive.
  if (path.empty()) return ERROR_INVALID_PARAMETER;
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
