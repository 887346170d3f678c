#include "log_text.h"

#include "text.h"

namespace tsgsim {

namespace {

constexpr int kStrayLogLines = 5;

} // namespace

std::string Quoted(std::string_view bytes, std::size_t maxBytes)
{
    std::string out = "\"" + EscapeBytes(bytes, maxBytes) + "\"";
    if (bytes.size() > maxBytes) {
        out += "... (" + std::to_string(bytes.size()) + " bytes)";
    }
    return out;
}

std::optional<std::string> StrayDataLog::Next(std::string_view data)
{
    ++count_;
    if (count_ > kStrayLogLines + 1) {
        return std::nullopt;
    }
    if (count_ == kStrayLogLines + 1) {
        return std::string("(more data, no longer logged)");
    }
    return Quoted(data, kDataPreviewBytes);
}

} // namespace tsgsim
