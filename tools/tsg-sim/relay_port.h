#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "acceptor.h"
#include "logger.h"
#include "poll_set.h"
#include "relay_session.h"
#include "sim_time.h"
#include "unique_fd.h"

namespace tsgsim {

// The relay port's sockets: each connection feeds its RelaySession and does
// what the session asks for.
class RelayPort {
public:
    RelayPort(RelayContext& context, ConnectionIds& ids);

    bool Open(const std::string& address, int port, std::string* error);
    int Port() const { return acceptor_.Port(); }
    // Connects to the port hang (see Acceptor::Stall) until it is opened again.
    bool SetStalled(bool stalled, std::string* error);
    std::size_t OpenConnections() const;

    void AddToPoll(PollSet& poll, TimePoint now);
    std::optional<TimePoint> Deadline(TimePoint now) const;
    void RunTimers(TimePoint now);
    void Sweep();

private:
    struct Connection {
        Connection(UniqueFd f, std::string p, RelaySession s)
            : fd(std::move(f)), peer(std::move(p)), session(std::move(s))
        {
        }
        UniqueFd fd;
        std::string peer;
        RelaySession session;
        std::string queued;
        bool dead = false;
    };

    void OnAccept(UniqueFd fd, const std::string& peer);
    void OnReady(std::uint64_t id, short revents);
    void Read(std::uint64_t id, Connection& c, TimePoint now);
    void Apply(std::uint64_t id, Connection& c, const RelayActions& actions);
    void Queue(std::uint64_t id, Connection& c, std::string_view bytes);
    void Flush(std::uint64_t id, Connection& c, TimePoint now);
    void Close(std::uint64_t id, Connection& c, const std::string& why);
    void FinishIfDone(std::uint64_t id, Connection& c);

    RelayContext& context_;
    Logger& log_;
    ConnectionIds& ids_;
    Acceptor acceptor_;
    std::map<std::uint64_t, Connection> connections_;
};

} // namespace tsgsim
