#include "cti_port.h"

#include <cerrno>
#include <cstring>

#include "net.h"

namespace tsgsim {

namespace {

constexpr std::size_t kMaxCtiClients = 1000;
constexpr std::size_t kMaxCtiQueued = 4u << 20;  // unsent event bytes per slow client
constexpr int kReadsPerWakeup = 64;

} // namespace

CtiPort::CtiPort(Logger& log, ConnectionIds& ids)
    : log_(log), ids_(ids), acceptor_("CTI", log, [this](UniqueFd fd, const std::string& peer) {
          OnAccept(std::move(fd), peer);
      })
{
}

bool CtiPort::Open(const std::string& address, int port, std::string* error)
{
    return acceptor_.Open(address, port, error);
}

void CtiPort::StopListening()
{
    acceptor_.Close();
    log_.Line("CTI listener down (port " + std::to_string(Port()) + ")");
}

bool CtiPort::StartListening(std::string* error)
{
    if (!acceptor_.Reopen(error)) {
        log_.Line("CTI listener up failed: " + *error);
        return false;
    }
    log_.Line("CTI listener up (port " + std::to_string(Port()) + ")");
    return true;
}

std::size_t CtiPort::Clients() const
{
    std::size_t n = 0;
    for (const auto& [id, c] : clients_) {
        if (!c.dead) {
            ++n;
        }
    }
    return n;
}

void CtiPort::OnAccept(UniqueFd fd, const std::string& peer)
{
    if (Clients() >= kMaxCtiClients) {
        log_.Line("CTI client refused " + peer + " (limit of " + std::to_string(kMaxCtiClients) + " reached)");
        return;
    }
    std::uint64_t id = ids_.Next();
    Client c;
    c.fd = std::move(fd);
    c.peer = peer;
    clients_.emplace(id, std::move(c));
    log_.Line("CTI client connected " + peer + " #" + std::to_string(id) + " (" + std::to_string(Clients())
              + " connected)");
}

void CtiPort::AddToPoll(PollSet& poll, TimePoint now)
{
    if (int fd = acceptor_.PollFd(now); fd >= 0) {
        poll.Add(fd, POLLIN, [this](short) { acceptor_.AcceptAll(Clock::now()); });
    }
    for (auto& [id, c] : clients_) {
        poll.Add(c.fd.Get(), static_cast<short>(POLLIN | (c.queued.empty() ? 0 : POLLOUT)),
                 [this, id = id](short revents) { OnReady(id, revents); });
    }
}

void CtiPort::OnReady(std::uint64_t id, short revents)
{
    auto it = clients_.find(id);
    if (it == clients_.end() || it->second.dead) {
        return;
    }
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        Read(id, it->second);
    }
    if (!it->second.dead && (revents & POLLOUT)) {
        Flush(id, it->second);
    }
}

void CtiPort::Read(std::uint64_t id, Client& c)
{
    ReadEnd end = ReadAvailable(c.fd.Get(), kReadsPerWakeup, [&](std::string_view data) {
        if (auto text = c.stray.Next(data)) {
            log_.Line("CTI data from " + c.peer + " #" + std::to_string(id) + " " + *text + " (discarded)");
        }
        return true;
    });
    if (end == ReadEnd::Again || end == ReadEnd::Paused) {
        return;
    }
    std::string why = end == ReadEnd::Eof ? "closed by client" : std::string("error: ") + std::strerror(errno);
    c.dead = true;
    c.fd.Reset();
    log_.Line("CTI client disconnected " + c.peer + " #" + std::to_string(id) + " " + why + " ("
              + std::to_string(Clients()) + " connected)");
}

void CtiPort::Flush(std::uint64_t id, Client& c)
{
    long n = SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
    if (n < 0) {
        Forget(id, c, std::string(" send error: ") + std::strerror(errno));
        return;
    }
    c.queued.erase(0, static_cast<std::size_t>(n));
}

void CtiPort::Forget(std::uint64_t id, Client& c, const std::string& why)
{
    c.dead = true;
    c.fd.Reset();
    log_.Line("CTI client disconnected " + c.peer + " #" + std::to_string(id) + why);
}

std::size_t CtiPort::Broadcast(std::string_view bytes, const char* what)
{
    std::size_t reached = 0;
    std::size_t notWhole = 0;
    // The timestamp of the log line is the moment right before the writes:
    // tests measure the way from here to the popup.
    WallTime when = NowWall();
    for (auto& [id, c] : clients_) {
        if (c.dead) {
            continue;
        }
        if (!c.queued.empty()) {
            // An earlier event is still stuck in this client's socket buffer.
            if (c.queued.size() + bytes.size() > kMaxCtiQueued) {
                Forget(id, c, " (not reading, " + std::to_string(c.queued.size()) + " bytes queued)");
                continue;
            }
            c.queued.append(bytes);
            ++notWhole;
            ++reached;
            continue;
        }
        long n = SendSome(c.fd.Get(), bytes.data(), bytes.size());
        if (n < 0) {
            Forget(id, c, std::string(" send error: ") + std::strerror(errno));
            continue;
        }
        if (static_cast<std::size_t>(n) < bytes.size()) {
            c.queued.assign(bytes.substr(static_cast<std::size_t>(n)));
            ++notWhole;
        }
        ++reached;
    }
    ++eventsSent_;
    std::string line = std::string("CTI ") + what + " sent " + Quoted(bytes, kEventPreviewBytes) + " to "
                       + std::to_string(reached) + " client(s) t=" + std::to_string(EpochMs(when));
    if (notWhole > 0) {
        line += " (" + std::to_string(notWhole) + " client(s) not in one write: socket buffer full)";
    }
    log_.LineAt(when, line);
    return reached;
}

std::size_t CtiPort::DropClients()
{
    std::size_t n = 0;
    for (auto& [id, c] : clients_) {
        if (!c.dead) {
            c.dead = true;
            c.fd.Reset();
            ++n;
        }
    }
    log_.Line("CTI dropped " + std::to_string(n) + " client(s)");
    return n;
}

void CtiPort::Sweep()
{
    std::erase_if(clients_, [](const auto& entry) { return entry.second.dead; });
}

} // namespace tsgsim
