// The user's last calls, newest first, kept in the registry across runs so
// that every recent caller is one click from a call back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fon {

inline constexpr char kRecentCallsKey[] = "Software\\Mirelta\\Fonaris\\RecentCalls";
inline constexpr std::size_t kRecentCallsKept = 20;

struct RecentCall {
  std::string time;  // the receive time as ctime() writes it, without the line end
  std::string callerName;
  std::string callerNo;
  // Came in while popups were held (the user was presenting): no popup
  // showed it.
  bool unseen = false;
  friend bool operator==(const RecentCall&, const RecentCall&) = default;
};

class CRecentCalls {
 public:
  // Reads what earlier runs kept; entries that cannot be read are skipped.
  explicit CRecentCalls(IRegistry& userHive);

  // Puts a call in front, dropping the oldest beyond kRecentCallsKept, and
  // stores the list.
  void Add(RecentCall call);
  const std::vector<RecentCall>& Calls() const { return calls_; }

  // The menu text of a call: weekday and time of day, name and number,
  // with "&" doubled so that the menu shows it; a bullet in front of a call
  // no popup showed.
  static std::string MenuText(const RecentCall& call);

 private:
  void Store();
  void StoreSlot(std::size_t slot, const RecentCall& call);

  IRegistry& hive_;
  std::vector<RecentCall> calls_;
  // The ring's slot of the newest call; whether the ring holds calls_ as
  // they are, without holes.
  std::size_t newest_ = 0;
  bool intact_ = true;
};

}  // namespace fon
