#include "dialout/recent_calls.h"

#include <cstdint>

namespace fon {

namespace {

// One value per call, "Call1" the newest: time, name and number separated
// by "|", which a CTI field never holds.
constexpr char kCountValue[] = "Count";
constexpr char kSeparator = '|';
// Long enough for any call the CTI port can deliver in one read.
constexpr std::size_t kValueLimit = 4096;
// A name longer than this is cut in the menu.
constexpr std::size_t kMenuNameChars = 40;

std::string ValueName(std::size_t n) { return "Call" + std::to_string(n); }

std::string WithoutSeparators(std::string text) {
  for (char& c : text)
    if (c == kSeparator || c == '\0' || c == '\r' || c == '\n') c = ' ';
  return text;
}

bool ReadCall(IRegistry& hive, std::size_t n, RecentCall* call) {
  std::uint32_t type = 0;
  std::string data;
  if (hive.QueryValue(kRecentCallsKey, ValueName(n), &type, &data, kValueLimit) != 0 || type != kRegSz) return false;
  data = data.substr(0, data.find('\0'));
  std::size_t first = data.find(kSeparator);
  std::size_t second = first == std::string::npos ? first : data.find(kSeparator, first + 1);
  if (second == std::string::npos) return false;
  call->time = data.substr(0, first);
  call->callerName = data.substr(first + 1, second - first - 1);
  call->callerNo = data.substr(second + 1);
  return !call->callerNo.empty();
}

void AppendForMenu(std::string& out, const std::string& text, std::size_t limit) {
  for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
    if (text[i] == '&') out += '&';
    out += text[i];
  }
}

}  // namespace

CRecentCalls::CRecentCalls(IRegistry& userHive) : hive_(userHive) {
  std::uint32_t type = 0;
  std::string data;
  std::uint32_t count = 0;
  if (hive_.QueryValue(kRecentCallsKey, kCountValue, &type, &data, sizeof count) == 0 && type == kRegDword &&
      data.size() == sizeof count) {
    for (std::size_t i = 0; i < sizeof count; ++i)
      count |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  for (std::size_t n = 1; n <= count && n <= kRecentCallsKept; ++n) {
    RecentCall call;
    if (ReadCall(hive_, n, &call)) calls_.push_back(std::move(call));
  }
}

void CRecentCalls::Add(RecentCall call) {
  calls_.insert(calls_.begin(), std::move(call));
  if (calls_.size() > kRecentCallsKept) calls_.resize(kRecentCallsKept);
  Store();
}

void CRecentCalls::Store() {
  if (hive_.CreateKey(kRecentCallsKey) != 0) return;
  for (std::size_t n = 1; n <= calls_.size(); ++n) {
    const RecentCall& call = calls_[n - 1];
    std::string value = WithoutSeparators(call.time) + kSeparator + WithoutSeparators(call.callerName) +
                        kSeparator + WithoutSeparators(call.callerNo);
    value += '\0';
    hive_.SetValue(kRecentCallsKey, ValueName(n), kRegSz, value);
  }
  const auto count = static_cast<std::uint32_t>(calls_.size());
  std::string data(sizeof count, '\0');
  for (std::size_t i = 0; i < sizeof count; ++i) data[i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  hive_.SetValue(kRecentCallsKey, kCountValue, kRegDword, data);
}

std::string CRecentCalls::MenuText(const RecentCall& call) {
  // "Wed Dec  9 03:37:57 2026": weekday, then hours and minutes.
  std::string out;
  if (call.time.size() >= 16) out = call.time.substr(0, 3) + " " + call.time.substr(11, 5) + "  ";
  if (!call.callerName.empty()) {
    AppendForMenu(out, call.callerName, kMenuNameChars);
    out += "  ";
  }
  AppendForMenu(out, call.callerNo, kMenuNameChars);
  return out;
}

}  // namespace fon
