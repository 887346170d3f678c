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
// program's handler alone. Besides the schemes' classes, the client is
// registered as an application capable of both (its ProgIds, its
// capabilities under the main key, and an entry in RegisteredApplications),
// so that Windows 10 and 11 list it among the default apps; off removes
// all of that. 0 on success, else the registry's first error.
long RegisterPhoneLinks(IRegistry& userHive, const std::string& executable, bool on);

// The ProgId of the program the user chose in Windows for tel: links, when
// that is not this client; empty when there is no such choice.
std::string OtherPhoneLinkChoice(IRegistry& userHive);

// Where Windows lets the user choose the default apps.
inline constexpr char kDefaultAppsPage[] = "ms-settings:defaultapps";

// The command the shell runs for a link.
std::string PhoneLinkCommand(const std::string& executable);

}  // namespace fon
