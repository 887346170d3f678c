#include "relay_port.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "net.h"

namespace tsgsim {

namespace {

constexpr std::size_t kMaxRelayConns = 1000;
constexpr int kReadsPerWakeup = 64;

} // namespace

RelayPort::RelayPort(RelayContext& context, ConnectionIds& ids)
    : context_(context), log_(context.log), ids_(ids),
      acceptor_("RELAY", context.log, [this](UniqueFd fd, const std::string& peer) { OnAccept(std::move(fd), peer); })
{
}

bool RelayPort::SetStalled(bool stalled, std::string* error)
{
    const bool done = stalled ? acceptor_.Stall(error) : acceptor_.Reopen(error);
    log_.Line(std::string("RELAY listener ") + (stalled ? "stalled" : "up") + (done ? "" : " failed: " + *error));
    return done;
}

bool RelayPort::Open(const std::string& address, int port, std::string* error)
{
    return acceptor_.Open(address, port, error);
}

std::size_t RelayPort::OpenConnections() const
{
    std::size_t n = 0;
    for (const auto& [id, c] : connections_) {
        if (!c.dead) {
            ++n;
        }
    }
    return n;
}

void RelayPort::OnAccept(UniqueFd fd, const std::string& peer)
{
    if (OpenConnections() >= kMaxRelayConns) {
        log_.Line("RELAY connection refused " + peer + " (limit of " + std::to_string(kMaxRelayConns) + " reached)");
        return;
    }
    std::uint64_t id = ids_.Next();
    log_.Line("RELAY connection from " + peer + " #" + std::to_string(id));
    connections_.emplace(std::piecewise_construct, std::forward_as_tuple(id),
                         std::forward_as_tuple(std::move(fd), peer, RelaySession(context_, id, Clock::now())));
}

void RelayPort::AddToPoll(PollSet& poll, TimePoint now)
{
    if (int fd = acceptor_.PollFd(now); fd >= 0) {
        poll.Add(fd, POLLIN, [this](short) { acceptor_.AcceptAll(Clock::now()); });
    }
    for (auto& [id, c] : connections_) {
        short events = 0;
        if (c.session.Phase() == RelayPhase::NoRead) {
            events = POLLRDHUP;  // only to see the client go
        } else if (c.session.WantsRead()) {
            events = POLLIN;
        }
        if (!c.queued.empty()) {
            events = static_cast<short>(events | POLLOUT);
        }
        poll.Add(c.fd.Get(), events, [this, id = id](short revents) { OnReady(id, revents); });
    }
}

std::optional<TimePoint> RelayPort::Deadline(TimePoint now) const
{
    std::optional<TimePoint> next = acceptor_.PauseEnd(now);
    for (const auto& [id, c] : connections_) {
        auto due = c.session.NextDeadline();
        if (!c.dead && due && (!next || *due < *next)) {
            next = due;
        }
    }
    return next;
}

void RelayPort::OnReady(std::uint64_t id, short revents)
{
    auto it = connections_.find(id);
    if (it == connections_.end() || it->second.dead) {
        return;
    }
    Connection& c = it->second;
    TimePoint now = Clock::now();
    if (!c.session.WantsRead() && (revents & (POLLRDHUP | POLLHUP | POLLERR))) {
        Apply(id, c, c.session.OnHangup());
        return;
    }
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        Read(id, c, now);
    }
    if (!c.dead && (revents & POLLOUT)) {
        Flush(id, c, now);
    }
}

void RelayPort::Read(std::uint64_t id, Connection& c, TimePoint now)
{
    bool gotData = false;
    ReadEnd end = ReadAvailable(c.fd.Get(), kReadsPerWakeup, [&](std::string_view data) {
        gotData = true;
        Apply(id, c, c.session.OnData(data, now));
        return !c.dead;
    });
    if (c.dead) {
        return;
    }
    if (end == ReadEnd::Error) {
        Close(id, c, std::string("read error: ") + std::strerror(errno));
        return;
    }
    if (end == ReadEnd::Eof) {
        Apply(id, c, c.session.OnPeerEnd(now));
    }
    if (!c.dead && gotData) {
        Apply(id, c, c.session.OnReadsDone(now));
    }
    if (!c.dead) {
        FinishIfDone(id, c);
    }
}

void RelayPort::Apply(std::uint64_t id, Connection& c, const RelayActions& actions)
{
    for (const auto& action : actions) {
        if (c.dead) {
            return;
        }
        if (action.kind == RelayAction::Kind::Send) {
            Queue(id, c, action.bytes);
            continue;
        }
        if (action.drainFirst) {
            // FIN first, then empty the receive queue: closing a socket with
            // unread bytes would reset the connection instead of ending it.
            ::shutdown(c.fd.Get(), SHUT_WR);
            char sink[4096];
            while (::recv(c.fd.Get(), sink, sizeof sink, 0) > 0) {
            }
        }
        Close(id, c, action.bytes);
    }
    if (!c.dead) {
        FinishIfDone(id, c);
    }
}

void RelayPort::Queue(std::uint64_t id, Connection& c, std::string_view bytes)
{
    if (!c.queued.empty()) {
        c.queued.append(bytes);
        return;
    }
    long n = SendSome(c.fd.Get(), bytes.data(), bytes.size());
    if (n < 0) {
        Close(id, c, std::string("send error: ") + std::strerror(errno));
        return;
    }
    if (static_cast<std::size_t>(n) < bytes.size()) {
        c.queued.assign(bytes.substr(static_cast<std::size_t>(n)));
        log_.Line("RELAY answer #" + std::to_string(id) + ": " + std::to_string(n) + " of "
                  + std::to_string(bytes.size()) + " bytes in the first write, rest follows");
    }
}

void RelayPort::Flush(std::uint64_t id, Connection& c, TimePoint now)
{
    long n = SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
    if (n < 0) {
        Close(id, c, std::string("send error: ") + std::strerror(errno));
        return;
    }
    if (n > 0) {
        c.session.OnSent(now);
    }
    c.queued.erase(0, static_cast<std::size_t>(n));
    FinishIfDone(id, c);
}

void RelayPort::Close(std::uint64_t id, Connection& c, const std::string& why)
{
    c.dead = true;
    c.fd.Reset();
    log_.Line("RELAY connection #" + std::to_string(id) + " closed (" + why + ")");
}

void RelayPort::FinishIfDone(std::uint64_t id, Connection& c)
{
    if (c.session.DoneWhenSent() && c.queued.empty()) {
        Close(id, c, "after answer; client ended its sending side");
    }
}

void RelayPort::RunTimers(TimePoint now)
{
    for (auto& [id, c] : connections_) {
        if (!c.dead) {
            Apply(id, c, c.session.OnTime(now));
        }
    }
}

void RelayPort::Sweep()
{
    std::erase_if(connections_, [](const auto& entry) { return entry.second.dead; });
}

} // namespace tsgsim
