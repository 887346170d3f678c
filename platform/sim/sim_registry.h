// The per-user hive in memory, as Windows keeps it: names without regard to
// case, values as raw bytes with their type.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/registry.h"

namespace fon::sim {

class SimRegistry : public IRegistry {
 public:
  long CreateKey(const std::string& path) override;
  long OpenKey(const std::string& path) override;
  long QueryValue(const std::string& path, const std::string& name, std::uint32_t* type, std::string* data,
                  std::size_t bufferSize) override;
  long SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  long DeleteKeyTree(const std::string& path) override;
  long DeleteValue(const std::string& path, const std::string& name) override;

  // Test helpers.
  void SetString(const std::string& path, const std::string& name, const std::string& text);
  void SetDword(const std::string& path, const std::string& name, std::int32_t value);
  std::optional<std::string> GetString(const std::string& path, const std::string& name) const;
  std::optional<std::int32_t> GetDword(const std::string& path, const std::string& name) const;
  bool HasKey(const std::string& path) const;
  // A key the user may read but not write: every open fails.
  void DenyAccess(const std::string& path) { denied_.insert(Lower(path)); }

 private:
  struct Value {
    std::uint32_t type;
    std::string data;
  };
  static std::string Lower(std::string s);
  std::map<std::string, std::map<std::string, Value>> keys_;
  std::set<std::string> denied_;
};

}  // namespace fon::sim
