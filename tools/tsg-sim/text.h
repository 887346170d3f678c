#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tsgsim {

// Printable, unambiguous form of raw bytes for the log: printable ASCII stays
// as it is, backslash and double quote are escaped, NUL shows as \0, line
// feed / carriage return / tab as \n \r \t, every other byte as \xNN.
// At most maxBytes input bytes are rendered.
std::string EscapeBytes(std::string_view bytes, std::size_t maxBytes = static_cast<std::size_t>(-1));

// The reverse for texts typed by people: \n \r \t \\ \" \0 and \xNN (two hex
// digits). Any other escape, or a lone backslash at the end, is an error.
std::optional<std::string> Unescape(std::string_view text, std::string* error);

// Strict decimal integer (optional leading '-') within [min, max].
std::optional<long long> ParseInt(std::string_view text, long long min, long long max);

std::string_view Trim(std::string_view text);

// Whitespace separated words.
std::vector<std::string_view> SplitWords(std::string_view line);

// Fields between separators; "a||b" gives three fields, "" gives one empty field.
std::vector<std::string_view> SplitFields(std::string_view text, char separator);

// Text after the first word and the blanks behind it, with trailing blanks removed.
std::string_view RestAfterFirstWord(std::string_view line);

} // namespace tsgsim
