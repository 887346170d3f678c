#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "acceptor.h"
#include "log_text.h"
#include "logger.h"
#include "poll_set.h"
#include "sim_time.h"
#include "unique_fd.h"

namespace tsgsim {

// The CTI port: holds the client connections and writes every event to all
// of them. Clients are not supposed to send anything; what they send is
// logged and dropped.
class CtiPort {
public:
    CtiPort(Logger& log, ConnectionIds& ids);

    bool Open(const std::string& address, int port, std::string* error);
    int Port() const { return acceptor_.Port(); }
    bool Listening() const { return acceptor_.Listening(); }
    // "cti down" / "cti up": the listener only; connected clients stay.
    void StopListening();
    bool StartListening(std::string* error);

    std::size_t Clients() const;
    std::uint64_t EventsSent() const { return eventsSent_; }
    // Writes bytes to every client in one write each; returns how many it reached.
    std::size_t Broadcast(std::string_view bytes, const char* what);
    std::size_t DropClients();

    void AddToPoll(PollSet& poll, TimePoint now);
    std::optional<TimePoint> Deadline(TimePoint now) const { return acceptor_.PauseEnd(now); }
    void Sweep();

private:
    struct Client {
        UniqueFd fd;
        std::string peer;
        std::string queued;
        StrayDataLog stray;
        bool dead = false;
    };

    void OnAccept(UniqueFd fd, const std::string& peer);
    void OnReady(std::uint64_t id, short revents);
    void Read(std::uint64_t id, Client& c);
    void Flush(std::uint64_t id, Client& c);
    void Forget(std::uint64_t id, Client& c, const std::string& why);

    Logger& log_;
    ConnectionIds& ids_;
    Acceptor acceptor_;
    std::map<std::uint64_t, Client> clients_;
    std::uint64_t eventsSent_ = 0;
};

} // namespace tsgsim
