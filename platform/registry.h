// A registry hive, reduced to what the settings store needs: the per-user
// hive, or the machine-wide one (read only: its writes fail with
// ERROR_ACCESS_DENIED).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fon {

enum RegType : std::uint32_t { kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4 };

// Results are Windows error codes (0 = success). Key and value names are
// matched without regard to case.
class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual long CreateKey(const std::string& path) = 0;
  // Opens the key for reading and writing and closes it again.
  virtual long OpenKey(const std::string& path) = 0;
  // Reads a value into `data` (raw bytes, terminator included as stored).
  // A value larger than `bufferSize` gives ERROR_MORE_DATA (234).
  virtual long QueryValue(const std::string& path, const std::string& name, std::uint32_t* type,
                          std::string* data, std::size_t bufferSize) = 0;
  // Writes `data` as given; a string type's data should count its
  // terminating zero (Windows adds one that is left out, since the byte
  // after the data is always a zero here).
  virtual long SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                        const std::string& data) = 0;
  // Removes the key with everything below it.
  virtual long DeleteKeyTree(const std::string& path) = 0;
  // Removes one value of a key.
  virtual long DeleteValue(const std::string& path, const std::string& name) = 0;
};

}  // namespace fon
