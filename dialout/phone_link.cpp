#include "dialout/phone_link.h"

#include "dialout/normalize_number.h"
#include "settings/settings_store.h"

namespace fon {

namespace {

constexpr std::string_view kSchemes[] = {"tel:", "callto:"};
constexpr char kClassesKey[] = "Software\\Classes\\";
constexpr char kProgIdPrefix[] = "Fonaris.";
constexpr char kApplicationName[] = "Fonaris";
constexpr char kCapabilitiesName[] = "\\Capabilities";
constexpr char kRegisteredApplicationsKey[] = "Software\\RegisteredApplications";
constexpr char kTelChoiceKey[] = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\tel\\UserChoice";

// REG_SZ data counts its terminator.
std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string CapabilitiesKey() { return std::string(kMainKey) + kCapabilitiesName; }

// A URL class: `key` names the scheme or a ProgId of this client.
long WriteUrlClass(IRegistry& hive, const std::string& key, const std::string& scheme,
                   const std::string& executable) {
  const std::string commandKey = key + "\\shell\\open\\command";
  long rc = hive.CreateKey(commandKey);
  if (rc == 0) rc = hive.SetValue(key, "", kRegSz, Sz("URL:" + scheme));
  if (rc == 0) rc = hive.SetValue(key, "URL Protocol", kRegSz, Sz(""));
  if (rc == 0) rc = hive.CreateKey(key + "\\DefaultIcon");
  if (rc == 0) rc = hive.SetValue(key + "\\DefaultIcon", "", kRegSz, Sz(executable + ",0"));
  if (rc == 0) rc = hive.SetValue(commandKey, "", kRegSz, Sz(PhoneLinkCommand(executable)));
  return rc;
}

// The application entry Windows' default apps list the client by.
long WriteCapabilities(IRegistry& hive, const std::string& executable) {
  const std::string key = CapabilitiesKey();
  const std::string urls = key + "\\URLAssociations";
  long rc = hive.CreateKey(urls);
  if (rc == 0) rc = hive.SetValue(key, "ApplicationName", kRegSz, Sz(kApplicationName));
  if (rc == 0) rc = hive.SetValue(key, "ApplicationDescription", kRegSz, Sz("Fonaris CTI client"));
  if (rc == 0) rc = hive.SetValue(key, "ApplicationIcon", kRegSz, Sz(executable + ",0"));
  for (std::string_view s : kSchemes) {
    const std::string name(s.substr(0, s.size() - 1));
    if (rc == 0) rc = hive.SetValue(urls, name, kRegSz, Sz(kProgIdPrefix + name));
  }
  if (rc == 0) rc = hive.CreateKey(kRegisteredApplicationsKey);
  if (rc == 0) rc = hive.SetValue(kRegisteredApplicationsKey, kApplicationName, kRegSz, Sz(key));
  return rc;
}

// Everything of the application entry; what is not there is no error.
long RemoveCapabilities(IRegistry& hive) {
  constexpr long kNotFound = 2;
  long result = 0;
  auto note = [&result](long rc) {
    if (rc != 0 && rc != kNotFound && result == 0) result = rc;
  };
  std::uint32_t type = 0;
  std::string entry;
  if (hive.QueryValue(kRegisteredApplicationsKey, kApplicationName, &type, &entry, 4096) == 0 &&
      Lower(entry) == Lower(Sz(CapabilitiesKey())))
    note(hive.DeleteValue(kRegisteredApplicationsKey, kApplicationName));
  note(hive.DeleteKeyTree(CapabilitiesKey()));
  for (std::string_view s : kSchemes)
    note(hive.DeleteKeyTree(kClassesKey + (kProgIdPrefix + std::string(s.substr(0, s.size() - 1)))));
  return result;
}

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
      rc = WriteUrlClass(userHive, key, name, executable);
    } else if (!on && ours) {
      rc = userHive.DeleteKeyTree(key);
    }
    if (rc == 0 && on) rc = WriteUrlClass(userHive, kClassesKey + (kProgIdPrefix + name), name, executable);
    if (rc != 0 && result == 0) result = rc;
  }
  const long rc = on ? WriteCapabilities(userHive, executable) : RemoveCapabilities(userHive);
  if (rc != 0 && result == 0) result = rc;
  return result;
}

std::string OtherPhoneLinkChoice(IRegistry& userHive) {
  std::uint32_t type = 0;
  std::string progId;
  if (userHive.QueryValue(kTelChoiceKey, "ProgId", &type, &progId, 1024) != 0 || type != kRegSz) return std::string();
  progId = progId.substr(0, progId.find('\0'));
  if (Lower(progId) == Lower(std::string(kProgIdPrefix) + "tel")) return std::string();
  return progId;
}

}  // namespace fon
