// Settings keys under the user's hive: a scratch key per run, removed again.
#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fon::win32 {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\FonarisWin32Tests\\" + std::to_string(::GetCurrentProcessId());
    key_ = base_ + "\\Fonaris";
  }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()); }

  static std::string Dword(std::uint32_t value) {
    std::string data(4, '\0');
    std::memcpy(data.data(), &value, 4);
    return data;
  }

  Win32Registry registry_;
  std::string base_;
  std::string key_;
};

TEST_F(RegistryTest, MissingKeysAndValuesGiveTheRegistryErrors) {
  EXPECT_EQ(registry_.OpenKey(key_), ERROR_FILE_NOT_FOUND);
  std::uint32_t type = 99;
  std::string data = "unchanged";
  EXPECT_EQ(registry_.QueryValue(key_, "User ID", &type, &data, 4), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(data, "unchanged");
  EXPECT_EQ(registry_.SetValue(key_, "User ID", kRegDword, Dword(7)), ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(registry_.CreateKey(key_), ERROR_SUCCESS);
  EXPECT_EQ(registry_.CreateKey(key_), ERROR_SUCCESS);  // existing key: fine
  EXPECT_EQ(registry_.OpenKey(key_), ERROR_SUCCESS);
  EXPECT_EQ(registry_.QueryValue(key_, "User ID", &type, &data, 4), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ValuesRoundTripAsRawBytes) {
  ASSERT_EQ(registry_.CreateKey(key_), ERROR_SUCCESS);
  const std::string address = std::string("Gr\xfc\xdf" "e 10.0.0.1") + '\0';
  ASSERT_EQ(registry_.SetValue(key_, "Server IP Address", kRegSz, address), ERROR_SUCCESS);
  ASSERT_EQ(registry_.SetValue(key_, "Server Port", kRegDword, Dword(12346)), ERROR_SUCCESS);

  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(registry_.QueryValue(key_, "Server IP Address", &type, &data, 1024), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<std::uint32_t>(kRegSz));
  EXPECT_EQ(data, address);  // terminator included, as stored

  // Value names are matched without regard to case.
  ASSERT_EQ(registry_.QueryValue(key_, "Server port", &type, &data, 4), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<std::uint32_t>(kRegDword));
  EXPECT_EQ(data, Dword(12346));
}

TEST_F(RegistryTest, TheCallersBufferSizeLimitsTheRead) {
  ASSERT_EQ(registry_.CreateKey(key_), ERROR_SUCCESS);
  const std::string fits = std::string(1023, 'a') + '\0';
  const std::string tooLong = std::string(1024, 'a') + '\0';
  ASSERT_EQ(registry_.SetValue(key_, "Fits", kRegSz, fits), ERROR_SUCCESS);
  ASSERT_EQ(registry_.SetValue(key_, "TooLong", kRegSz, tooLong), ERROR_SUCCESS);

  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(registry_.QueryValue(key_, "Fits", &type, &data, 1024), ERROR_SUCCESS);
  EXPECT_EQ(data.size(), 1024u);
  EXPECT_EQ(registry_.QueryValue(key_, "TooLong", &type, &data, 1024), ERROR_MORE_DATA);
  // A string where a number is expected: too big for the 4-byte buffer.
  EXPECT_EQ(registry_.QueryValue(key_, "Fits", &type, &data, 4), ERROR_MORE_DATA);
}

TEST_F(RegistryTest, NestedKeysAreCreatedInOneCall) {
  const std::string nested = key_ + "\\DialOutList";
  ASSERT_EQ(registry_.CreateKey(nested), ERROR_SUCCESS);
  EXPECT_EQ(registry_.OpenKey(key_), ERROR_SUCCESS);
  EXPECT_EQ(registry_.SetValue(nested, "Entrys", kRegDword, Dword(0)), ERROR_SUCCESS);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(registry_.QueryValue(nested, "Entrys", &type, &data, 4), ERROR_SUCCESS);
  EXPECT_EQ(data, Dword(0));
}

// The machine-wide hive as the client opens it: read, never written.
TEST_F(RegistryTest, AReadOnlyHiveReadsButNeverWrites) {
  ASSERT_EQ(registry_.CreateKey(key_), ERROR_SUCCESS);
  ASSERT_EQ(registry_.SetValue(key_, "Relay Port", kRegDword, Dword(4002)), ERROR_SUCCESS);
  Win32Registry machine(HKEY_CURRENT_USER, Win32Registry::Access::kReadOnly);
  std::string data;
  EXPECT_EQ(machine.QueryValue(key_, "Relay Port", nullptr, &data, 4), ERROR_SUCCESS);
  EXPECT_EQ(machine.SetValue(key_, "Relay Port", kRegDword, Dword(1)), ERROR_ACCESS_DENIED);
  EXPECT_EQ(machine.CreateKey(key_ + "\\Colors"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry_.OpenKey(key_ + "\\Colors"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry_.QueryValue(key_, "Relay Port", nullptr, &data, 4), ERROR_SUCCESS);
  EXPECT_EQ(data, Dword(4002));
}

}  // namespace
}  // namespace fon::win32
