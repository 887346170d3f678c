// tel: and callto: links: the number they carry, and the client as the
// user's handler of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace fon {

// The setting (REG_DWORD under the main key) that switches the handler on
// (any value but 0, and when missing) or off (0).
inline constexpr char kPhoneLinksSetting[] = "Phone Links";

// The normalised number of a "tel:" or "callto:" link (the scheme in any
// case, "callto://" too): parameters after ";" or "?" and a fragment after
// "#" are dropped, percent escapes decoded. None when the link has another
// scheme or carries no number.
std::optional<std::string> PhoneLinkNumber(std::string_view link);

// Makes `executable` the user's handler of both schemes (on), or removes
// the registration (off) where it still names `executable`, leaving another
// program's handler alone. 0 on success, else the registry's error.
long RegisterPhoneLinks(IRegistry& userHive, const std::string& executable, bool on);

// The command the shell runs for a link.
std::string PhoneLinkCommand(const std::string& executable);

}  // namespace fon
