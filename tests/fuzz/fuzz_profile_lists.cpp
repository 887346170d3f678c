// Feeds arbitrary answers to the three list parsers and checks what they
// promise: every entry is a field of the answer that is not empty, there are
// never more entries than pairs of fields, and the forced profile is the
// text after the first bar.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "profiles/list_parsers.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckEntries(const CIdStringList& list, std::string_view text, std::size_t bars) {
  Check(static_cast<std::size_t>(list.GetCount()) <= bars / 2 + 1);
  list.ForEachFromTail([&](const IdStringEntry& entry) {
    Check(!entry.strText.empty());
    Check(entry.strText.find('|') == std::string::npos);
    Check(text.find(entry.strText) != std::string_view::npos);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t bars = static_cast<std::size_t>(std::count(text.begin(), text.end(), '|'));

  CIdStringList profiles;
  fon::ParseProfileList(text, profiles);
  CheckEntries(profiles, text, bars);

  CIdStringList devices;
  const auto mode = fon::ParseDeviceList(text, devices);
  Check(mode.has_value() == (bars > 0));
  CheckEntries(devices, text, bars);

  const std::string forced = fon::ParseActiveForcedProfile(text);
  const std::size_t bar = text.find('|');
  if (bar == std::string_view::npos)
    Check(forced.empty());
  else
    Check(forced == text.substr(bar + 1) || (forced.empty() && text.substr(bar + 1) == "+OK"));
  return 0;
}
