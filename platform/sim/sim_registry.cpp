#include "platform/sim/sim_registry.h"

#include <cctype>
#include <cstring>

namespace fon::sim {
namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorMoreData = 234;
constexpr std::uint32_t kRegMultiSz = 7;

}  // namespace

std::string SimRegistry::Lower(std::string s) {
  // ASCII folding, as the C locale's tolower does, without a library call
  // per character: every settings read of a scenario passes through here.
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

long SimRegistry::CreateKey(const std::string& path) {
  std::string key = Lower(path);
  if (denied_.count(key)) return kErrorAccessDenied;
  // Every missing key on the way is created too.
  for (std::size_t cut = key.find('\\'); cut != std::string::npos; cut = key.find('\\', cut + 1))
    keys_[key.substr(0, cut)];
  keys_[key];
  return 0;
}

long SimRegistry::OpenKey(const std::string& path) {
  std::string key = Lower(path);
  if (denied_.count(key)) return kErrorAccessDenied;
  return keys_.count(key) ? 0 : kErrorFileNotFound;
}

long SimRegistry::QueryValue(const std::string& path, const std::string& name, std::uint32_t* type,
                             std::string* data, std::size_t bufferSize) {
  long rc = OpenKey(path);
  if (rc != 0) return rc;
  auto& values = keys_[Lower(path)];
  auto it = values.find(Lower(name));
  if (it == values.end()) return kErrorFileNotFound;
  *type = it->second.type;
  if (it->second.data.size() > bufferSize) return kErrorMoreData;
  *data = it->second.data;
  return 0;
}

long SimRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                           const std::string& data) {
  long rc = OpenKey(path);
  if (rc != 0) return rc;
  // Windows counts a string's terminator that the caller left out when the
  // byte after the data is a zero, as it always is after a std::string's.
  const bool isString = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
  const bool unterminated = isString && !data.empty() && data.back() != '\0';
  keys_[Lower(path)][Lower(name)] = Value{type, unterminated ? data + '\0' : data};
  return 0;
}

long SimRegistry::DeleteKeyTree(const std::string& path) {
  std::string key = Lower(path);
  if (key.empty()) return 87;  // ERROR_INVALID_PARAMETER
  if (denied_.count(key)) return kErrorAccessDenied;
  if (!keys_.count(key)) return kErrorFileNotFound;
  const std::string below = key + "\\";
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == key || it->first.compare(0, below.size(), below) == 0)
      it = keys_.erase(it);
    else
      ++it;
  }
  return 0;
}

long SimRegistry::DeleteValue(const std::string& path, const std::string& name) {
  long rc = OpenKey(path);
  if (rc != 0) return rc;
  return keys_[Lower(path)].erase(Lower(name)) ? 0 : kErrorFileNotFound;
}

void SimRegistry::SetString(const std::string& path, const std::string& name, const std::string& text) {
  keys_[Lower(path)][Lower(name)] = Value{kRegSz, text + '\0'};
}

void SimRegistry::SetDword(const std::string& path, const std::string& name, std::int32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  keys_[Lower(path)][Lower(name)] = Value{kRegDword, data};
}

std::optional<std::string> SimRegistry::GetString(const std::string& path, const std::string& name) const {
  auto k = keys_.find(Lower(path));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(Lower(name));
  if (v == k->second.end() || (v->second.type != kRegSz && v->second.type != kRegExpandSz)) return std::nullopt;
  return std::string(v->second.data.c_str());
}

std::optional<std::int32_t> SimRegistry::GetDword(const std::string& path, const std::string& name) const {
  auto k = keys_.find(Lower(path));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(Lower(name));
  if (v == k->second.end() || v->second.type != kRegDword || v->second.data.size() != 4) return std::nullopt;
  std::int32_t value = 0;
  std::memcpy(&value, v->second.data.data(), 4);
  return value;
}

bool SimRegistry::HasKey(const std::string& path) const { return keys_.count(Lower(path)) != 0; }

}  // namespace fon::sim
