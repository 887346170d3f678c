// The per-user settings store: six small operations over the registry.
//
// Every reader opens, reads and closes; nothing is cached here, so a value
// changed from outside (by an administrator, or the configuration dialog)
// counts from its next read on.
//
// Machine-wide defaults: for the settings an administrator presets (see
// machine_defaults.h) a read that finds no value of the user's own takes the
// machine's value instead, with the same results as if the user had stored
// it, so every reader's range rule applies to it unchanged. The user's own
// value always wins, even one the reader then rejects. Without a machine
// value the read's result is exactly the user's. The machine hive is only
// ever read.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace fon {

inline constexpr char kMainKey[] = "Software\\Mirelta\\Fonaris";
inline constexpr char kColorsKey[] = "Software\\Mirelta\\Fonaris\\Colors";
inline constexpr char kDialOutKey[] = "Software\\Mirelta\\Fonaris\\DialOutList";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Size of the buffers string settings are read into.
inline constexpr std::size_t kSettingBufferSize = 1024;

inline constexpr long kErrorInvalidData = 13;

class SettingsStore {
 public:
  // A store over the user's hive alone.
  explicit SettingsStore(IRegistry& registry) : registry_(registry) {}
  // A store whose reads fall back to the defaults in `machine`.
  SettingsStore(IRegistry& registry, IRegistry& machine) : registry_(registry), machine_(&machine) {}

  // 0 on success, -1 on failure.
  int CreateRegKey(const std::string& key);
  // 0 when read; -1 otherwise. On a failed open *out becomes empty; on any
  // other failure it keeps what it held.
  int QueryRegString(const std::string& key, const std::string& name, std::string* out);
  // 0 on success; -1 when the key cannot be opened (*out = 0); the registry's
  // error for a missing value; 13 for a value of another type (*out kept).
  int QueryRegDword(const std::string& key, const std::string& name, std::int32_t* out);
  // As QueryRegDword; delivers the low 16 bits.
  int QueryRegWord(const std::string& key, const std::string& name, std::uint16_t* out);
  // 0 when the key could be opened, -1 otherwise.
  int SetRegValue(const std::string& key, const std::string& name, const std::string& data, std::uint32_t type);
  int SetRegDword(const std::string& key, const std::string& name, std::int32_t value);

  // Conveniences for the main key, with the reader's default for a value
  // that cannot be read.
  std::string ReadString(const std::string& name);
  std::int32_t ReadDword(const std::string& name, std::int32_t fallback = 0);
  int WriteString(const std::string& name, const std::string& text);
  int WriteDword(const std::string& name, std::int32_t value);

  // One hive only, no machine-wide fallback and no range rules: for data of
  // the client's own that is not a setting. The read leaves *out alone when
  // the value is missing or not a REG_DWORD, and sets it to 0 when the key is.
  static long QueryDwordRaw(IRegistry& hive, const std::string& key, const std::string& name, std::uint32_t* out);
  static long SetDwordRaw(IRegistry& hive, const std::string& key, const std::string& name, std::uint32_t value);

 private:
  static long QueryStringRaw(IRegistry& hive, const std::string& key, const std::string& name, std::string* out);
  // The user's value, or the machine's where the user has none.
  long QueryDword(const std::string& key, const std::string& name, std::uint32_t* out);
  // The machine hive to ask after the user's read gave `userResult`, or null.
  IRegistry* FallbackFor(long userResult, const std::string& key, const std::string& name) const;

  IRegistry& registry_;
  IRegistry* machine_ = nullptr;
};

}  // namespace fon
