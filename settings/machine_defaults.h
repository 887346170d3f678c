// Which settings an administrator may preset for every user of a machine.
//
// An installation for the whole machine can leave defaults under
// HKEY_LOCAL_MACHINE in the same key layout as the user's own settings. Only
// the settings an administrator rolls out are taken from there: the server,
// its two ports, the CRM template, the show-calls permission and the colour
// rules. A user's identity and dial-out history are the user's alone.
#pragma once

#include <string>

namespace fon {

// True when the value `name` of `key` may come from the machine-wide
// defaults while the user has none of their own. Key paths and value names
// are compared without regard to case, as the registry does.
bool HasMachineDefault(const std::string& key, const std::string& name);

}  // namespace fon
