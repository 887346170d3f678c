#include "settings/settings_store.h"

#include <cstring>

#include "settings/machine_defaults.h"

namespace fon {

int SettingsStore::CreateRegKey(const std::string& key) { return registry_.CreateKey(key) == 0 ? 0 : -1; }

namespace {

// The user's hive has no value of its own: no key, or no such value. A value
// of the wrong type or size is the user's own, and stays theirs.
constexpr long kErrorFileNotFound = 2;
bool IsMissing(long result) { return result == -1 || result == kErrorFileNotFound; }

}  // namespace

IRegistry* SettingsStore::FallbackFor(long userResult, const std::string& key, const std::string& name) const {
  if (!machine_ || !IsMissing(userResult) || !HasMachineDefault(key, name)) return nullptr;
  return machine_;
}

long SettingsStore::QueryStringRaw(IRegistry& hive, const std::string& key, const std::string& name,
                                   std::string* out) {
  if (hive.OpenKey(key) != 0) {
    out->clear();
    return -1;
  }
  std::uint32_t type = kRegNone;
  std::string data;
  long rc = hive.QueryValue(key, name, &type, &data, kSettingBufferSize);
  if (rc != 0) return rc;
  if (type != kRegSz && type != kRegExpandSz) return kErrorInvalidData;
  // Only a properly terminated text counts; the text ends at its first zero.
  if (data.empty() || data.back() != '\0') return kErrorInvalidData;
  *out = std::string(data.c_str());
  return 0;
}

int SettingsStore::QueryRegString(const std::string& key, const std::string& name, std::string* out) {
  long rc = QueryStringRaw(registry_, key, name, out);
  if (IRegistry* machine = FallbackFor(rc, key, name)) {
    std::string text;
    long machineRc = QueryStringRaw(*machine, key, name, &text);
    if (!IsMissing(machineRc)) {
      rc = machineRc;
      if (rc == 0) *out = std::move(text);
    }
  }
  return rc == 0 ? 0 : -1;
}

long SettingsStore::QueryDwordRaw(IRegistry& hive, const std::string& key, const std::string& name,
                                  std::uint32_t* out) {
  if (hive.OpenKey(key) != 0) {
    *out = 0;
    return -1;
  }
  std::uint32_t type = kRegNone;
  std::string data;
  long rc = hive.QueryValue(key, name, &type, &data, 4);
  if (rc != 0) return rc;
  if (type != kRegDword || data.size() != 4) return kErrorInvalidData;
  std::uint32_t value = 0;
  std::memcpy(&value, data.data(), 4);  // little-endian on every target we build
  *out = value;
  return 0;
}

long SettingsStore::QueryDword(const std::string& key, const std::string& name, std::uint32_t* out) {
  long rc = QueryDwordRaw(registry_, key, name, out);
  if (IRegistry* machine = FallbackFor(rc, key, name)) {
    std::uint32_t value = *out;
    long machineRc = QueryDwordRaw(*machine, key, name, &value);
    if (!IsMissing(machineRc)) {
      rc = machineRc;
      *out = value;
    }
  }
  return rc;
}

int SettingsStore::QueryRegDword(const std::string& key, const std::string& name, std::int32_t* out) {
  std::uint32_t value = static_cast<std::uint32_t>(*out);
  long rc = QueryDword(key, name, &value);
  if (rc == 0 || rc == -1) *out = static_cast<std::int32_t>(value);
  return static_cast<int>(rc);
}

int SettingsStore::QueryRegWord(const std::string& key, const std::string& name, std::uint16_t* out) {
  std::uint32_t value = *out;
  long rc = QueryDword(key, name, &value);
  if (rc == 0 || rc == -1) *out = static_cast<std::uint16_t>(value & 0xFFFFu);
  return static_cast<int>(rc);
}

int SettingsStore::SetRegValue(const std::string& key, const std::string& name, const std::string& data,
                               std::uint32_t type) {
  if (registry_.OpenKey(key) != 0) return -1;
  registry_.SetValue(key, name, type, data);
  return 0;
}

namespace {

std::string DwordData(std::uint32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);  // little-endian on every target we build
  return data;
}

}  // namespace

int SettingsStore::SetRegDword(const std::string& key, const std::string& name, std::int32_t value) {
  return SetRegValue(key, name, DwordData(static_cast<std::uint32_t>(value)), kRegDword);
}

long SettingsStore::SetDwordRaw(IRegistry& hive, const std::string& key, const std::string& name,
                                std::uint32_t value) {
  return hive.SetValue(key, name, kRegDword, DwordData(value));
}

std::string SettingsStore::ReadString(const std::string& name) {
  std::string text;
  QueryRegString(kMainKey, name, &text);
  return text;
}

std::int32_t SettingsStore::ReadDword(const std::string& name, std::int32_t fallback) {
  std::int32_t value = fallback;
  QueryRegDword(kMainKey, name, &value);
  return value;
}

int SettingsStore::WriteString(const std::string& name, const std::string& text) {
  return SetRegValue(kMainKey, name, text + '\0', kRegSz);
}

int SettingsStore::WriteDword(const std::string& name, std::int32_t value) {
  return SetRegDword(kMainKey, name, value);
}

}  // namespace fon
