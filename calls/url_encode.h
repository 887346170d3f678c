#pragma once

#include <string>
#include <string_view>

namespace fon {

// Percent-encodes a value for the CRM address: the 21 reserved bytes
// " < > % \ ^ [ ] ` + $ , @ : ; / ! # ? = & and every byte that, as a signed
// char, is below 33 or above 122 become "%XX" (upper-case hex of the
// unsigned byte). Letters, digits and ' ( ) * - . _ are copied.
std::string UrlEncode(std::string_view text);

}  // namespace fon
