#include "text.h"

#include <charconv>

namespace tsgsim {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::string EscapeBytes(std::string_view bytes, std::size_t maxBytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t count = bytes.size() < maxBytes ? bytes.size() : maxBytes;
    out.reserve(count + 8);
    for (std::size_t i = 0; i < count; ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        switch (b) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\0': out += "\\0"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (b >= 0x20 && b < 0x7F) {
                out += static_cast<char>(b);
            } else {
                out += "\\x";
                out += kHex[b >> 4];
                out += kHex[b & 0x0F];
            }
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text, std::string* error)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 >= text.size()) {
            if (error) {
                *error = "backslash at end of text";
            }
            return std::nullopt;
        }
        char e = text[++i];
        switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case '0': out += '\0'; break;
        case 'x': {
            int hi = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
            int lo = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                if (error) {
                    *error = "\\x needs two hex digits";
                }
                return std::nullopt;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            if (error) {
                *error = std::string("unknown escape \\") + e;
            }
            return std::nullopt;
        }
    }
    return out;
}

std::optional<long long> ParseInt(std::string_view text, long long min, long long max)
{
    if (text.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value, 10);
    if (ec != std::errc() || ptr != last || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> SplitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::vector<std::string_view> SplitFields(std::string_view text, char separator)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

std::string_view RestAfterFirstWord(std::string_view line)
{
    line = Trim(line);
    std::size_t i = 0;
    while (i < line.size() && !IsBlank(line[i])) {
        ++i;
    }
    return Trim(line.substr(i));
}

} // namespace tsgsim
