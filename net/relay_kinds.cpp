#include "net/relay_kinds.h"

#include "text_ids.h"

namespace {

using namespace fon::text;

constexpr char kConnectFailed[] = "Error at connecting to relay port\n";

// The dialogs' kinds (1, 2, 6, 7) share timer 15 on their own windows; how
// they write a failed connect (with the socket error) is theirs, what the
// user is told is here.
constexpr RelayKindInfo kRelayKinds[] = {
    {kRelayDialout, 15, true, nullptr, kConnectError, "Dialout failed - Relay Socket did not answer. Timeout",
     kDialoutNoAnswer},
    {kRelayRegistration, 15, false, nullptr, kConnectError, nullptr, kServerNoAnswer},
    {kRelayForce, 15, true, kConnectFailed, kProfileNotChanged,
     "Timeout - Relay Socket does not answer to FORCEPROFILE \n", kProfileNotActivated},
    {kRelayActiveProfile, 16, true, kConnectFailed, 0,
     "Timeout - Relay Socket does not answer to GETACTIVEFORCEDPROFILE \n", 0},
    {kRelayProfileList, 17, true, kConnectFailed, kProfileListNotTransferred,
     "Timeout - Relay Socket does not answer to GETPROFILELIST \n", kProfilesNotTransferred},
    {kRelayInformForce, 15, true, nullptr, kConnectError, "FORCEPROFILE failed - Relay Socket did not answer. Timeout",
     kProfileNoAnswer},
    {kRelayLogin, 15, false, nullptr, kConnectError, nullptr, kServerNoAnswer},
    {kRelayDevices, 18, true, kConnectFailed, kDevicesNotTransferred,
     "Timeout - Relay Socket does not answer to GETDEVICES \n", kDevicesNotTransferred},
};

}  // namespace

const RelayKindInfo* FindRelayKind(int kind) {
  for (const RelayKindInfo& info : kRelayKinds)
    if (info.kind == kind) return &info;
  return nullptr;
}
