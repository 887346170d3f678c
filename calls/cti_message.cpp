#include "calls/cti_message.h"

#include <cstddef>

#include "common/c_atoi.h"

namespace fon {

namespace {

using Pos = std::ptrdiff_t;  // -1 = not found

Pos FindBar(std::string_view text, Pos from) {
  const std::size_t at = text.find('|', static_cast<std::size_t>(from));
  return at == std::string_view::npos ? -1 : static_cast<Pos>(at);
}

// The text with its first n characters deleted.
std::string_view From(std::string_view text, Pos n) {
  const auto skip = static_cast<std::size_t>(n);
  return skip >= text.size() ? std::string_view{} : text.substr(skip);
}

// A field that must be closed by a bar: empty when no bar follows.
std::string ClosedField(std::string_view rest) {
  const std::size_t bar = rest.find('|');
  return bar == std::string_view::npos ? std::string{} : std::string(rest.substr(0, bar));
}

// A field that may run to the end of the message.
std::string OpenField(std::string_view rest) { return std::string(rest.substr(0, rest.find('|'))); }

}  // namespace

CtiFields ParseCtiMessage(std::string_view message) {
  CtiFields fields;

  std::string_view text = message;
  if (!text.empty()) {
    text.remove_suffix(1);  // the terminator
  }

  const Pos s1 = FindBar(text, 0);
  const Pos p1 = s1 + 1;
  const Pos s2 = FindBar(text, p1);
  const Pos p2 = s2 + 1;
  const Pos s3 = FindBar(text, p2);
  const Pos p3 = s3 + 1;
  const Pos s4 = FindBar(text, p3);
  const Pos p4 = s4 + 1;
  const Pos s5 = FindBar(text, p4);
  const Pos p5 = s5 + 1;
  const Pos s6 = FindBar(text, p5);

  fields.callId = ClosedField(From(text, p1));
  fields.callerName = ClosedField(From(text, p2));
  fields.callerNo = ClosedField(From(text, p3));
  fields.calledNo = OpenField(From(text, p4));

  if (fields.calledNo == "+ERR") {
    fields.isErr = true;
    return fields;
  }

  if (s6 != -1) {
    fields.redirInfo = OpenField(From(text, s6 + 1));
    // A redirection to the called number itself tells the user nothing.
    if (fields.redirInfo == fields.calledNo) {
      fields.redirInfo.clear();
    }
  }

  fields.calledUserId = ClosedField(From(text, p5));
  fields.messageUserId = Atoi(fields.calledUserId);
  return fields;
}

std::string ReceiveTimeOfDay(std::string_view ctimeText) {
  constexpr std::size_t kYearAndNewline = 5;
  if (ctimeText.size() <= kYearAndNewline) {
    return {};
  }
  const std::size_t colon = ctimeText.find(':');
  if (colon == std::string_view::npos) {
    return {};
  }
  const std::size_t space = ctimeText.rfind(' ', colon);
  const std::size_t begin = space == std::string_view::npos ? 0 : space;
  const std::size_t end = ctimeText.size() - kYearAndNewline;
  if (end <= begin) {
    return {};
  }
  return std::string(ctimeText.substr(begin, end - begin));
}

}  // namespace fon
