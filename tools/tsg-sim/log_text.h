#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tsgsim {

// How bytes from and to peers appear in the log.
constexpr std::size_t kAnswerPreviewBytes = 1024;  // bytes of an answer shown
constexpr std::size_t kDataPreviewBytes = 512;     // bytes of stray data or a control line shown
constexpr std::size_t kEventPreviewBytes = 8192;   // bytes of an event shown

// Escaped bytes in double quotes; beyond maxBytes the total size follows.
std::string Quoted(std::string_view bytes, std::size_t maxBytes = static_cast<std::size_t>(-1));

// Log text for data nobody asked for. A peer that keeps sending gets a few
// lines, then one note, then nothing, so it cannot flood the log.
class StrayDataLog {
public:
    std::optional<std::string> Next(std::string_view data);

private:
    int count_ = 0;
};

} // namespace tsgsim
