#include "dialogs/dialog_data.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace fon {

namespace {

const char* SkipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

}  // namespace

bool ParseDialogInteger(const std::string& text, int* value) {
  // A zero byte typed into the field ends it, as it ends the window text.
  const char* begin = SkipBlanks(text.c_str());
  const char first = *begin;
  char* end = nullptr;
  errno = 0;
  long parsed = std::strtol(begin, &end, 10);
  // strtol's 0 is also its "nothing read": only a leading '0' makes it a
  // number. So "-0" and "+0" are refused, as they always were.
  if (parsed == 0 && first != '0') return false;
  if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  if (*SkipBlanks(end) != '\0') return false;
  *value = static_cast<int>(parsed);
  return true;
}

}  // namespace fon
