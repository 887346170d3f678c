#include "dialout/recent_calls.h"

#include <algorithm>
#include <cstdint>

#include "settings/settings_store.h"

namespace fon {

namespace {

// One value per call in a ring of kRecentCallsKept slots ("Call1" ..
// "Call20"), "Newest" the slot of the newest: a new call rewrites one slot
// and two numbers, not the whole list, so that a burst of calls does not
// keep the registry busy between popups. Time, name and number are
// separated by "|", which a CTI field never holds; a call no popup showed
// has a fourth field, "unseen".
constexpr char kCountValue[] = "Count";
constexpr char kNewestValue[] = "Newest";
constexpr char kSeparator = '|';
constexpr char kUnseenMark[] = "unseen";
// Windows-1252 bullet.
constexpr char kUnseenMenuMark[] = "\x95 ";
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
  const std::size_t third = data.find(kSeparator, second + 1);
  call->callerNo = data.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
  call->unseen = third != std::string::npos && data.compare(third + 1, std::string::npos, kUnseenMark) == 0;
  return !call->callerNo.empty();
}

void AppendForMenu(std::string& out, const std::string& text, std::size_t limit) {
  for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
    if (text[i] == '&') out += '&';
    out += text[i];
  }
}

std::size_t ReadNumber(IRegistry& hive, const char* name) {
  std::uint32_t number = 0;
  SettingsStore::QueryDwordRaw(hive, kRecentCallsKey, name, &number);
  return number;
}

void WriteNumber(IRegistry& hive, const char* name, std::size_t value) {
  SettingsStore::SetDwordRaw(hive, kRecentCallsKey, name, static_cast<std::uint32_t>(value));
}

// The slot `age` calls older than the one in `newest` (slots count from 1).
std::size_t OlderSlot(std::size_t newest, std::size_t age) {
  return (newest - 1 + kRecentCallsKept - age % kRecentCallsKept) % kRecentCallsKept + 1;
}

}  // namespace

CRecentCalls::CRecentCalls(IRegistry& userHive) : hive_(userHive) {
  const std::size_t count = ReadNumber(hive_, kCountValue);
  newest_ = ReadNumber(hive_, kNewestValue);
  if (newest_ < 1 || newest_ > kRecentCallsKept) newest_ = count >= 1 && count <= kRecentCallsKept ? count : 1;
  for (std::size_t age = 0; age < count && age < kRecentCallsKept; ++age) {
    RecentCall call;
    if (ReadCall(hive_, OlderSlot(newest_, age), &call)) calls_.push_back(std::move(call));
  }
  // An entry that could not be read leaves a hole: the next store lays the
  // ring out afresh.
  intact_ = calls_.size() == std::min<std::size_t>(count, kRecentCallsKept);
}

void CRecentCalls::Add(RecentCall call) {
  calls_.insert(calls_.begin(), std::move(call));
  if (calls_.size() > kRecentCallsKept) calls_.resize(kRecentCallsKept);
  Store();
}

void CRecentCalls::Store() {
  if (hive_.CreateKey(kRecentCallsKey) != 0) return;
  if (intact_) {
    newest_ = newest_ % kRecentCallsKept + 1;
  } else {
    newest_ = calls_.size();
    for (std::size_t age = 1; age < calls_.size(); ++age) StoreSlot(OlderSlot(newest_, age), calls_[age]);
    intact_ = true;
  }
  StoreSlot(newest_, calls_.front());
  WriteNumber(hive_, kNewestValue, newest_);
  WriteNumber(hive_, kCountValue, calls_.size());
}

void CRecentCalls::StoreSlot(std::size_t slot, const RecentCall& call) {
  std::string value = WithoutSeparators(call.time) + kSeparator + WithoutSeparators(call.callerName) + kSeparator +
                      WithoutSeparators(call.callerNo);
  if (call.unseen) value += std::string(1, kSeparator) + kUnseenMark;
  value += '\0';
  hive_.SetValue(kRecentCallsKey, ValueName(slot), kRegSz, value);
}

std::string CRecentCalls::MenuText(const RecentCall& call) {
  // "Wed Dec  9 03:37:57 2026": weekday, then hours and minutes.
  std::string out = call.unseen ? kUnseenMenuMark : "";
  if (call.time.size() >= 16) out += call.time.substr(0, 3) + " " + call.time.substr(11, 5) + "  ";
  if (!call.callerName.empty()) {
    AppendForMenu(out, call.callerName, kMenuNameChars);
    out += "  ";
  }
  AppendForMenu(out, call.callerNo, kMenuNameChars);
  return out;
}

}  // namespace fon
