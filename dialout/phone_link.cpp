#include "dialout/phone_link.h"

#include "dialout/normalize_number.h"

namespace fon {

namespace {

constexpr std::string_view kSchemes[] = {"tel:", "callto:"};
constexpr char kClassesKey[] = "Software\\Classes\\";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A "%" without two hex digits behind it stays as it is (the number filter
// drops it).
std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size() < kNumberReadLimit ? text.size() : kNumberReadLimit);
  for (std::size_t i = 0; i < text.size() && out.size() < kNumberReadLimit; ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> PhoneLinkNumber(std::string_view link) {
  while (!link.empty() && (link.front() == ' ' || link.front() == '"')) link.remove_prefix(1);
  while (!link.empty() && (link.back() == ' ' || link.back() == '"')) link.remove_suffix(1);
  std::size_t scheme = 0;
  for (std::string_view s : kSchemes) {
    if (StartsWithNoCase(link, s)) scheme = s.size();
  }
  if (scheme == 0) return std::nullopt;
  link.remove_prefix(scheme);
  if (link.substr(0, 2) == "//") link.remove_prefix(2);
  link = link.substr(0, link.find_first_of(";?#"));
  std::string number = NormalizeNumber(PercentDecoded(link));
  if (number.empty()) return std::nullopt;
  return number;
}

std::string PhoneLinkCommand(const std::string& executable) { return "\"" + executable + "\" --link \"%1\""; }

long RegisterPhoneLinks(IRegistry& userHive, const std::string& executable, bool on) {
  const std::string command = PhoneLinkCommand(executable);
  long result = 0;
  for (std::string_view s : kSchemes) {
    const std::string name(s.substr(0, s.size() - 1));
    const std::string key = kClassesKey + name;
    const std::string commandKey = key + "\\shell\\open\\command";
    std::uint32_t type = 0;
    std::string current;
    const bool ours = userHive.QueryValue(commandKey, "", &type, &current, 4096) == 0 && type == kRegSz &&
                      current == command + std::string(1, '\0');
    long rc = 0;
    if (on && !ours) {
      rc = userHive.CreateKey(commandKey);
      if (rc == 0) rc = userHive.SetValue(key, "", kRegSz, "URL:" + name + std::string(1, '\0'));
      if (rc == 0) rc = userHive.SetValue(key, "URL Protocol", kRegSz, std::string(1, '\0'));
      if (rc == 0) rc = userHive.CreateKey(key + "\\DefaultIcon");
      if (rc == 0) rc = userHive.SetValue(key + "\\DefaultIcon", "", kRegSz, executable + ",0" + std::string(1, '\0'));
      if (rc == 0) rc = userHive.SetValue(commandKey, "", kRegSz, command + std::string(1, '\0'));
    } else if (!on && ours) {
      rc = userHive.DeleteKeyTree(key);
    }
    if (rc != 0 && result == 0) result = rc;
  }
  return result;
}

}  // namespace fon
