#include "control_sources.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "net.h"

namespace tsgsim {

namespace {

constexpr std::size_t kMaxControlConns = 50;
constexpr std::size_t kMaxControlQueued = 1u << 20;  // unsent reply bytes per connection
constexpr std::size_t kMaxPendingLines = 1000;       // read-ahead of control lines
constexpr int kReadsPerWakeup = 64;

void WriteStdout(const std::string& text)
{
    std::string line = text + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace

ControlSources::ControlSources(Logger& log, ConnectionIds& ids, bool stdinControl,
                               std::optional<std::vector<ScriptLine>> script)
    : log_(log), ids_(ids),
      acceptor_("CONTROL", log, [this](UniqueFd fd, const std::string& peer) { OnAccept(std::move(fd), peer); })
{
    if (script) {
        script_.emplace(SourceKind::Script, 0, log_, nullptr);
        for (auto& line : *script) {
            script_->AddLine(line.number, std::move(line.text));
        }
    }
    if (stdinControl) {
        stdin_.emplace(SourceKind::Stdin, 0, log_, WriteStdout);
        stdinOpen_ = true;
    }
}

bool ControlSources::Open(int port, std::string* error)
{
    // The control channel has no authentication: loopback only, whatever --bind says.
    return acceptor_.Open("127.0.0.1", port, error);
}

void ControlSources::OnAccept(UniqueFd fd, const std::string& peer)
{
    if (connections_.size() >= kMaxControlConns) {
        log_.Line("CONTROL connection refused " + peer + " (limit reached)");
        return;
    }
    std::uint64_t id = ids_.Next();
    ControlChannel channel(SourceKind::Tcp, id, log_, [this, id](const std::string& text) { SendReply(id, text); });
    connections_.emplace(std::piecewise_construct, std::forward_as_tuple(id),
                         std::forward_as_tuple(std::move(fd), std::move(channel)));
    log_.Line("CONTROL connection from " + peer + " #" + std::to_string(id));
}

void ControlSources::AddToPoll(PollSet& poll, TimePoint now)
{
    if (stdinOpen_ && stdin_->Backlog() < kMaxPendingLines) {
        poll.Add(STDIN_FILENO, POLLIN, [this](short) { ReadStdin(); });
    }
    if (int fd = acceptor_.PollFd(now); fd >= 0) {
        poll.Add(fd, POLLIN, [this](short) { acceptor_.AcceptAll(Clock::now()); });
    }
    for (auto& [id, c] : connections_) {
        short events = 0;
        if (!c.inputClosed && c.channel.Backlog() < kMaxPendingLines) {
            events = POLLIN;
        }
        if (!c.queued.empty()) {
            events = static_cast<short>(events | POLLOUT);
        }
        poll.Add(c.fd.Get(), events, [this, id = id](short revents) { OnReady(id, revents); });
    }
}

std::optional<TimePoint> ControlSources::Deadline(TimePoint now) const
{
    std::optional<TimePoint> next = acceptor_.PauseEnd(now);
    auto consider = [&](const ControlChannel& channel) {
        auto due = channel.Deadline();
        if (due && (!next || *due < *next)) {
            next = due;
        }
    };
    if (stdin_) {
        consider(*stdin_);
    }
    if (script_) {
        consider(*script_);
    }
    for (const auto& [id, c] : connections_) {
        consider(c.channel);
    }
    return next;
}

void ControlSources::OnReady(std::uint64_t id, short revents)
{
    auto it = connections_.find(id);
    if (it == connections_.end() || it->second.dead) {
        return;
    }
    Connection& c = it->second;
    if (c.inputClosed && (revents & (POLLHUP | POLLERR))) {
        log_.Line("CONTROL connection #" + std::to_string(id) + " lost");
        c.dead = true;
        return;
    }
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        Read(id, c);
    }
    if (!c.dead && (revents & POLLOUT)) {
        Flush(id, c);
    }
}

void ControlSources::Read(std::uint64_t id, Connection& c)
{
    if (c.channel.Backlog() >= kMaxPendingLines) {
        return;  // read on once the backlog has been worked off
    }
    ReadEnd end = ReadAvailable(c.fd.Get(), kReadsPerWakeup, [&](std::string_view data) {
        c.channel.Feed(data);
        return c.channel.Backlog() < kMaxPendingLines;
    });
    if (end == ReadEnd::Error) {
        log_.Line("CONTROL connection #" + std::to_string(id) + " read error: " + std::strerror(errno));
        c.dead = true;
    } else if (end == ReadEnd::Eof) {
        // The client may send its commands and shut down its side; they
        // still run and get their replies before the connection closes.
        c.inputClosed = true;
        c.channel.EndOfInput();
    }
}

void ControlSources::Flush(std::uint64_t id, Connection& c)
{
    long n = SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
    if (n < 0) {
        log_.Line("CONTROL connection #" + std::to_string(id) + " send error: " + std::strerror(errno));
        c.dead = true;
        return;
    }
    c.queued.erase(0, static_cast<std::size_t>(n));
}

void ControlSources::SendReply(std::uint64_t id, const std::string& text)
{
    auto it = connections_.find(id);
    if (it == connections_.end() || it->second.dead) {
        return;
    }
    Connection& c = it->second;
    if (c.queued.size() + text.size() + 1 > kMaxControlQueued) {
        log_.Line("CONTROL connection #" + std::to_string(id) + " does not read its replies; closing");
        c.dead = true;
        return;
    }
    c.queued += text;
    c.queued += '\n';
    Flush(id, c);
}

void ControlSources::ReadStdin()
{
    char buf[4096];
    ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n > 0) {
        stdin_->Feed(std::string_view(buf, static_cast<std::size_t>(n)));
        return;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    stdinOpen_ = false;
    stdin_->EndOfInput();
    log_.Line(n == 0 ? "CONTROL stdin closed; still serving"
                     : std::string("CONTROL stdin read error: ") + std::strerror(errno));
}

void ControlSources::Run(ControlCommands& commands, TimePoint now)
{
    if (stdin_) {
        stdin_->Run(commands, now);
    }
    if (script_) {
        script_->Run(commands, now);
        if (!scriptDoneLogged_ && script_->Idle()) {
            scriptDoneLogged_ = true;
            log_.Line("SCRIPT finished");
        }
    }
    for (auto& [id, c] : connections_) {
        if (!c.dead) {
            c.channel.Run(commands, now);
        }
    }
}

void ControlSources::Sweep()
{
    for (auto& [id, c] : connections_) {
        if (!c.dead && c.inputClosed && c.channel.Idle() && c.queued.empty()) {
            log_.Line("CONTROL connection #" + std::to_string(id) + " closed");
            c.dead = true;
        }
    }
    std::erase_if(connections_, [](const auto& entry) { return entry.second.dead; });
}

void ControlSources::FlushAll()
{
    for (auto& [id, c] : connections_) {
        if (!c.dead && !c.queued.empty()) {
            SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
        }
    }
}

} // namespace tsgsim
