#include "control_channel.h"

#include "log_text.h"
#include "text.h"

namespace tsgsim {

namespace {

constexpr std::size_t kMaxControlLine = 256u << 10;  // one control line

} // namespace

ControlChannel::ControlChannel(SourceKind kind, std::uint64_t connId, Logger& log, ReplySink sink)
    : kind_(kind), connId_(connId), log_(log), sink_(std::move(sink))
{
}

std::string ControlChannel::Label() const
{
    switch (kind_) {
    case SourceKind::Stdin: return "stdin";
    case SourceKind::Tcp: return "tcp#" + std::to_string(connId_);
    case SourceKind::Script: return "script:" + std::to_string(currentLine_);
    }
    return "?";
}

void ControlChannel::Feed(std::string_view data)
{
    while (!data.empty()) {
        std::size_t nl = data.find('\n');
        std::string_view piece = data.substr(0, nl);
        if (!skippingLongLine_) {
            if (partial_.size() + piece.size() > kMaxControlLine) {
                partial_.clear();
                skippingLongLine_ = true;
            } else {
                partial_.append(piece);
            }
        }
        if (nl == std::string_view::npos) {
            return;
        }
        data.remove_prefix(nl + 1);
        ++linesSeen_;
        if (skippingLongLine_) {
            skippingLongLine_ = false;
            partial_.clear();
            currentLine_ = linesSeen_;
            Reply("err line too long (limit " + std::to_string(kMaxControlLine) + " bytes)");
            continue;
        }
        lines_.emplace_back(linesSeen_, std::move(partial_));
        partial_.clear();
    }
}

void ControlChannel::EndOfInput()
{
    if (!partial_.empty() && !skippingLongLine_) {
        lines_.emplace_back(++linesSeen_, std::move(partial_));
    }
    partial_.clear();
    skippingLongLine_ = false;
}

void ControlChannel::AddLine(int number, std::string text)
{
    lines_.emplace_back(number, std::move(text));
}

void ControlChannel::Run(ControlCommands& commands, TimePoint now)
{
    while (!commands.QuitRequested()) {
        if (pending_) {
            auto reply = commands.Resolve(*pending_, now);
            if (!reply) {
                return;
            }
            pending_.reset();
            Reply(*reply);
        }
        if (lines_.empty()) {
            return;
        }
        auto [number, raw] = std::move(lines_.front());
        lines_.pop_front();
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        currentLine_ = number;
        log_.Line("CONTROL " + Label() + " command " + Quoted(line, kDataPreviewBytes));
        CommandResult result = commands.Execute(line, now);
        if (result.reply) {
            Reply(*result.reply);
        }
        pending_ = result.pending;
    }
}

void ControlChannel::Reply(const std::string& text)
{
    log_.Line("CONTROL " + Label() + " reply " + Quoted(text, kDataPreviewBytes));
    if (sink_) {
        sink_(text);
    }
}

} // namespace tsgsim
