#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "logger.h"
#include "sim_time.h"
#include "unique_fd.h"

namespace tsgsim {

// Connection numbers for the log: one sequence for all ports, so "#7" names
// one connection whatever its port.
class ConnectionIds {
public:
    std::uint64_t Next() { return next_++; }

private:
    std::uint64_t next_ = 1;
};

// One listening port: accepts every waiting connection and hands each to
// the port's own handler. The CTI, relay and control ports differ only in
// that handler; running out of descriptors pauses accepting for a moment
// instead of spinning.
class Acceptor {
public:
    using OnAccept = std::function<void(UniqueFd fd, const std::string& peer)>;

    // name: the log prefix of the port ("CTI", "RELAY", "CONTROL").
    Acceptor(std::string name, Logger& log, OnAccept onAccept);

    // Listens on address:port (0: any free port); the bound port is kept for Reopen.
    bool Open(const std::string& address, int port, std::string* error);
    // Listens again on the port bound before.
    bool Reopen(std::string* error);
    void Close() { fd_.Reset(); }
    // Listens on without accepting, with the system's queue of the port
    // full: a client's connect then neither succeeds nor fails, as with a
    // server behind a firewall that drops packets. Reopen ends it.
    bool Stall(std::string* error);
    bool Stalled() const { return filler_.Valid(); }

    bool Listening() const { return fd_.Valid(); }
    int Port() const { return port_; }
    // The descriptor to watch for new connections now; -1 while closed or paused.
    int PollFd(TimePoint now) const;
    // When a pause ends, if one is running.
    std::optional<TimePoint> PauseEnd(TimePoint now) const;

    void AcceptAll(TimePoint now);

private:
    std::string name_;
    Logger& log_;
    OnAccept onAccept_;
    std::string address_;
    int port_ = 0;
    UniqueFd fd_;
    // Takes the one place of a stalled port's queue.
    UniqueFd filler_;
    TimePoint pausedUntil_{};
};

} // namespace tsgsim
