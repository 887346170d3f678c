#include "calls/crm_url.h"

#include <string>
#include <utility>

#include "calls/url_encode.h"

namespace fon {

namespace {

// Replaces every occurrence of placeholder in text by value, in one pass.
std::string ReplaceAll(const std::string& text, std::string_view placeholder, const std::string& value) {
  std::size_t at = text.find(placeholder);
  if (at == std::string::npos) {
    return text;
  }
  std::string out;
  out.reserve(text.size() + value.size());
  std::size_t from = 0;
  while (at != std::string::npos) {
    out.append(text, from, at - from);
    out += value;
    from = at + placeholder.size();
    at = text.find(placeholder, from);
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace

std::string BuildCrmUrl(std::string_view tmpl, const CrmValues& values) {
  // One pass per placeholder, in this fixed order; each pass works on the
  // result of the previous ones, so template text that an earlier
  // replacement joins into a later placeholder is filled by the later pass.
  const std::pair<std::string_view, std::string> replacements[] = {
      {"{CALLERNO}", UrlEncode(values.callerNo)},
      {"{CALLERNAME}", UrlEncode(values.callerName)},
      {"{CALLEDNO}", UrlEncode(values.calledNo)},
      {"{REDIRINFO}", UrlEncode(values.redirInfo)},
      {"{CALLID}", UrlEncode(values.callId)},
      {"{CALLEDUSERID}", UrlEncode(values.calledUserId)},
      {"{CALLEDPARENTUSERID}", UrlEncode(values.parentUserIdText)},
      {"{USERID}", UrlEncode(std::to_string(values.userId))},
      {"{MTHOST}", UrlEncode(values.serverAddress)},
  };

  std::string url(tmpl);
  for (const auto& [placeholder, value] : replacements) {
    url = ReplaceAll(url, placeholder, value);
  }
  return url;
}

}  // namespace fon
