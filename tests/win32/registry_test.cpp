// The machine-wide hive as the client opens it: read, never written. Only
// Windows can show this (the simulation has no access rights).
#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fon::win32 {
namespace {

std::string Dword(std::uint32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  return data;
}

TEST(RegistryAccess, AReadOnlyHiveReadsButNeverWrites) {
  const std::string base = "Software\\FonarisWin32Tests\\" + std::to_string(::GetCurrentProcessId());
  const std::string key = base + "\\Fonaris";
  Win32Registry user(HKEY_CURRENT_USER);
  ASSERT_EQ(user.CreateKey(key), ERROR_SUCCESS);
  ASSERT_EQ(user.SetValue(key, "Relay Port", kRegDword, Dword(4002)), ERROR_SUCCESS);
  Win32Registry machine(HKEY_CURRENT_USER, Win32Registry::Access::kReadOnly);
  std::string data;
  EXPECT_EQ(machine.QueryValue(key, "Relay Port", nullptr, &data, 4), ERROR_SUCCESS);
  EXPECT_EQ(machine.SetValue(key, "Relay Port", kRegDword, Dword(1)), ERROR_ACCESS_DENIED);
  EXPECT_EQ(machine.CreateKey(key + "\\Colors"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(user.OpenKey(key + "\\Colors"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(user.QueryValue(key, "Relay Port", nullptr, &data, 4), ERROR_SUCCESS);
  EXPECT_EQ(data, Dword(4002));
  ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}

}  // namespace
}  // namespace fon::win32
