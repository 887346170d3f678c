#include "rcwriter.h"

#include <cstdio>

namespace resgen {

std::string quoteRcString(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': out += "\"\""; break;
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\%03o", byte);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

std::string stringTableScript(const std::vector<RcString>& rows)
{
    std::string out =
        "// String table of fonaris.exe, written by resgen from res/string_table.inc.\n"
        "// Windows-1252; do not edit.\n"
        "#pragma code_page(1252)\n"
        "\n"
        "STRINGTABLE\n"
        "BEGIN\n";
    for (const RcString& row : rows) {
        out += "    " + std::to_string(row.id) + " " + quoteRcString(row.text) + "\n";
    }
    out += "END\n";
    return out;
}

}  // namespace resgen
