// The three answers the server gives about a user's profiles: what follows
// the "+OK|" of GETPROFILELIST, GETDEVICES and GETACTIVEFORCEDPROFILE.
// Pure functions: nothing here touches the frame or the platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/id_string_list.h"

namespace fon {

// Pairs of profile id and name; each profile is added at the head, so a
// walk from the tail sees the server's order. An empty name ends the list,
// and so does an id without a name.
void ParseProfileList(std::string_view rest, CIdStringList& profiles);

// The device mode, present only when a bar follows it, then pairs whose
// second field is the device (the first is not the client's business).
// An empty or missing device ends the list.
std::optional<int> ParseDeviceList(std::string_view rest, CIdStringList& devices);

// The forced profile's id as text: everything after the first bar; an
// answer without a bar (just "+OK") names none and gives "".
std::string ParseActiveForcedProfile(std::string_view answer);

}  // namespace fon
