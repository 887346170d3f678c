// The settings hive: missing keys and values, raw bytes, names without
// regard to case, the caller's buffer size.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "harness.h"

namespace fon::contract {
namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorMoreData = 234;

std::string Dword(std::uint32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  return data;
}

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_ = MakeHarness();
    key_ = harness_->ScratchKey();
  }
  IRegistry& Registry() { return harness_->Platform().Registry(); }
  std::unique_ptr<Harness> harness_;
  std::string key_;
};

TEST_F(RegistryContract, MissingKeysAndValuesGiveTheRegistryErrors) {
  EXPECT_EQ(Registry().OpenKey(key_), kErrorFileNotFound);
  std::uint32_t type = 99;
  std::string data = "unchanged";
  EXPECT_EQ(Registry().QueryValue(key_, "User ID", &type, &data, 4), kErrorFileNotFound);
  EXPECT_EQ(data, "unchanged");
  EXPECT_EQ(Registry().SetValue(key_, "User ID", kRegDword, Dword(7)), kErrorFileNotFound);

  ASSERT_EQ(Registry().CreateKey(key_), 0);
  EXPECT_EQ(Registry().CreateKey(key_), 0);  // existing key: fine
  EXPECT_EQ(Registry().OpenKey(key_), 0);
  EXPECT_EQ(Registry().QueryValue(key_, "User ID", &type, &data, 4), kErrorFileNotFound);
}

TEST_F(RegistryContract, ValuesRoundTripAsRawBytesAndNamesIgnoreCase) {
  ASSERT_EQ(Registry().CreateKey(key_), 0);
  const std::string address = std::string("Gr\xfc\xdf" "e 10.0.0.1") + '\0';
  ASSERT_EQ(Registry().SetValue(key_, "Server IP Address", kRegSz, address), 0);
  ASSERT_EQ(Registry().SetValue(key_, "Server Port", kRegDword, Dword(12346)), 0);

  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(Registry().QueryValue(key_, "Server IP Address", &type, &data, 1024), 0);
  EXPECT_EQ(type, static_cast<std::uint32_t>(kRegSz));
  EXPECT_EQ(data, address);  // terminator included, as stored

  ASSERT_EQ(Registry().QueryValue(key_, "SERVER port", &type, &data, 4), 0);
  EXPECT_EQ(type, static_cast<std::uint32_t>(kRegDword));
  EXPECT_EQ(data, Dword(12346));
  // Keys too; and a write under another spelling replaces the value.
  std::string upper = key_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_EQ(Registry().SetValue(upper, "server PORT", kRegDword, Dword(4711)), 0);
  ASSERT_EQ(Registry().QueryValue(key_, "Server Port", &type, &data, 4), 0);
  EXPECT_EQ(data, Dword(4711));
}

TEST_F(RegistryContract, TheCallersBufferSizeLimitsTheReadWhateverTheType) {
  ASSERT_EQ(Registry().CreateKey(key_), 0);
  ASSERT_EQ(Registry().SetValue(key_, "Fits", kRegSz, std::string(1023, 'a') + '\0'), 0);
  ASSERT_EQ(Registry().SetValue(key_, "TooLong", kRegSz, std::string(1024, 'a') + '\0'), 0);
  ASSERT_EQ(Registry().SetValue(key_, "Number", kRegDword, Dword(5)), 0);
  const struct {
    const char* name;
    std::size_t buffer;
    long rc;
    std::uint32_t type;
  } cases[] = {
      {"Fits", 1024, 0, kRegSz},
      {"TooLong", 1024, kErrorMoreData, kRegSz},
      {"Fits", 4, kErrorMoreData, kRegSz},  // a string where a number is expected
      {"Number", 1024, 0, kRegDword},       // a number where a string is expected
      {"Number", 3, kErrorMoreData, kRegDword},
  };
  for (const auto& c : cases) {
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(Registry().QueryValue(key_, c.name, &type, &data, c.buffer), c.rc) << c.name << " " << c.buffer;
    EXPECT_EQ(type, c.type) << c.name << " " << c.buffer;  // told also when it does not fit
    if (c.rc == 0) {
      EXPECT_EQ(data.size(), std::min<std::size_t>(c.buffer, c.type == kRegSz ? 1024 : 4));
    }
  }
}

TEST_F(RegistryContract, AStringWithoutItsTerminatorIsStoredWithOne) {
  ASSERT_EQ(Registry().CreateKey(key_), 0);
  const std::string z(1, '\0');
  const struct {
    std::uint32_t type;
    std::string given, stored;
  } cases[] = {{kRegSz, "10.1.2.3", "10.1.2.3" + z}, {kRegSz, "10.1.2.3" + z, "10.1.2.3" + z}, {kRegSz, "", ""},
               {kRegExpandSz, "%TEMP%", "%TEMP%" + z}, {kRegBinary, "ab", "ab"}};
  for (const auto& c : cases) {
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(Registry().SetValue(key_, "Value", c.type, c.given), 0);
    ASSERT_EQ(Registry().QueryValue(key_, "Value", &type, &data, 1024), 0);
    EXPECT_EQ(data, c.stored) << c.given.size() << " bytes of type " << c.type;
  }
}

TEST_F(RegistryContract, NestedKeysAreCreatedInOneCall) {
  const std::string nested = key_ + "\\DialOutList";
  ASSERT_EQ(Registry().CreateKey(nested), 0);
  EXPECT_EQ(Registry().OpenKey(key_), 0);
  EXPECT_EQ(Registry().SetValue(nested, "Entrys", kRegDword, Dword(0)), 0);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(Registry().QueryValue(nested, "Entrys", &type, &data, 4), 0);
  EXPECT_EQ(data, Dword(0));
}

}  // namespace
}  // namespace fon::contract
