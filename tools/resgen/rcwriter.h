// Resource-script text for the string table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace resgen {

// `text` (Windows-1252 bytes) as a quoted resource-compiler string: quotes
// doubled, backslash, CR, LF and tab as escapes, other control bytes as
// octal escapes, bytes from 0x80 up unchanged (the script is code page 1252).
std::string quoteRcString(std::string_view text);

struct RcString {
    int id;
    std::string_view text;
};

// A complete STRINGTABLE script, in Windows-1252.
std::string stringTableScript(const std::vector<RcString>& rows);

}  // namespace resgen
