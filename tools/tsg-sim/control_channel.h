#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "control_commands.h"
#include "logger.h"
#include "sim_time.h"

namespace tsgsim {

enum class SourceKind { Stdin, Tcp, Script };

// One place control lines come from (stdin, a control connection, the
// script) as a state machine: bytes in, lines run in order, replies out
// through the sink. While one line waits, the following ones wait too.
class ControlChannel {
public:
    using ReplySink = std::function<void(const std::string& reply)>;

    ControlChannel(SourceKind kind, std::uint64_t connId, Logger& log, ReplySink sink);

    // Bytes as they come; lines end at '\n'.
    void Feed(std::string_view data);
    // No more bytes: a last line without line end is still a line.
    void EndOfInput();
    // A whole line with its number (script lines).
    void AddLine(int number, std::string text);

    // Runs lines until one waits, none is left, or quit was asked for.
    void Run(ControlCommands& commands, TimePoint now);

    // Lines read but not yet run: reading pauses while there are many.
    std::size_t Backlog() const { return lines_.size(); }
    bool Idle() const { return lines_.empty() && !pending_; }
    std::optional<TimePoint> Deadline() const { return pending_ ? pending_->deadline : std::nullopt; }
    std::string Label() const;

private:
    void Reply(const std::string& text);

    SourceKind kind_;
    std::uint64_t connId_;
    Logger& log_;
    ReplySink sink_;
    std::string partial_;
    bool skippingLongLine_ = false;
    int linesSeen_ = 0;
    int currentLine_ = 0;
    std::deque<std::pair<int, std::string>> lines_;
    std::optional<Pending> pending_;
};

} // namespace tsgsim
