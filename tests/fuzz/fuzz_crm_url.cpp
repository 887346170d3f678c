// Feeds arbitrary templates and call values to the CRM address builder and
// checks the encoder's promises: only safe bytes come out, and decoding
// gives the value back.
//
// Input: NUL-separated fields: template, caller number, caller name, called
// number, redirection, call id, called user id, parent id text, host; the
// user id is the sum of the bytes of the last field.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calls/crm_url.h"
#include "calls/url_encode.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

std::string Decode(std::string_view encoded) {
  std::string out;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '%') {
      Check(i + 2 < encoded.size());
      out += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
      i += 2;
    } else {
      out += encoded[i];
    }
  }
  return out;
}

void CheckEncoding(std::string_view value) {
  const std::string encoded = fon::UrlEncode(value);
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '\'' || c == '(' || c == ')' || c == '*' || c == '-' || c == '.' || c == '_';
    if (c == '%') {
      Check(i + 2 < encoded.size());
      Check(IsUpperHex(encoded[i + 1]) && IsUpperHex(encoded[i + 2]));
      i += 2;
    } else {
      Check(plain);
    }
  }
  Check(Decode(encoded) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (fields.size() < 10) {
    const std::size_t nul = input.find('\0', from);
    fields.emplace_back(
        input.substr(from, nul == std::string_view::npos ? std::string_view::npos : nul - from));
    if (nul == std::string_view::npos) break;
    from = nul + 1;
  }
  fields.resize(10);

  fon::CrmValues values;
  values.callerNo = fields[1];
  values.callerName = fields[2];
  values.calledNo = fields[3];
  values.redirInfo = fields[4];
  values.callId = fields[5];
  values.calledUserId = fields[6];
  values.parentUserIdText = fields[7];
  values.serverAddress = fields[8];
  std::uint32_t userId = 0;
  for (unsigned char c : fields[9]) userId = userId * 31u + c;
  values.userId = static_cast<int>(userId);

  const std::string url = fon::BuildCrmUrl(fields[0], values);
  // Without a brace nothing can be a placeholder: the template stays as is.
  if (fields[0].find('{') == std::string::npos) Check(url == fields[0]);
  for (std::size_t i = 1; i <= 8; ++i) CheckEncoding(fields[i]);
  return 0;
}
