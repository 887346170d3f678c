#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "faults.h"
#include "log_text.h"
#include "logger.h"
#include "sim_time.h"
#include "users.h"

namespace tsgsim {

// What a relay connection needs from the rest of the server, shared by all
// of its connections.
struct RelayContext {
    UserDb& users;
    FaultTable& faults;
    Logger& log;
    int idleMs = 30000;    // a connection idle this long is closed
    int silenceMs = 200;   // a request without zero byte ends after this much silence
    std::mt19937 rng{std::random_device{}()};  // for garbage answers
    std::uint64_t requests = 0;                // requests taken so far
};

// What the socket under a relay session has to do.
struct RelayAction {
    enum class Kind { Send, Close };
    Kind kind = Kind::Send;
    std::string bytes;        // Send: the bytes; Close: why, for the log
    bool drainFirst = false;  // Close: end the sending side and empty the receive queue first, so
                              // that the peer sees an orderly end rather than a reset
};
using RelayActions = std::vector<RelayAction>;

enum class RelayPhase {
    Reading,   // collecting the request
    NoRead,    // fault noread: never read, wait for the client to go
    Holding,   // fault noanswer: request read, no answer ever
    Delayed,   // an answer (or a later part of it) is still due
    Answered,  // answer given; held open until the client closes or idles out
    Closed,
};

// One relay connection as a state machine: bytes and time in, actions out.
// It logs what happens to the request; the socket layer logs the socket.
class RelaySession {
public:
    // Decides right away whether the connection is read at all (fault noread).
    RelaySession(RelayContext& context, std::uint64_t id, TimePoint now);

    // One read's worth of bytes from the client.
    RelayActions OnData(std::string_view data, TimePoint now);
    // The socket has nothing more to read for now.
    RelayActions OnReadsDone(TimePoint now);
    // The client ended its sending side.
    RelayActions OnPeerEnd(TimePoint now);
    // The socket reports a hang-up or error while it is not being read.
    RelayActions OnHangup();
    // Bytes queued earlier have left.
    void OnSent(TimePoint now) { lastActivity_ = now; }
    // Deadlines: silence, delayed answers, idleness.
    RelayActions OnTime(TimePoint now);

    RelayPhase Phase() const { return phase_; }
    bool WantsRead() const { return phase_ != RelayPhase::NoRead && phase_ != RelayPhase::Closed && !readClosed_; }
    // Nothing is left to do once the queued bytes have left.
    bool DoneWhenSent() const { return phase_ == RelayPhase::Answered && readClosed_; }
    std::optional<TimePoint> NextDeadline() const;

private:
    struct AnswerPart {
        std::string bytes;
        std::string note;  // log text after the answer
        std::optional<TimePoint> due;  // empty: at once
    };

    void Complete(TimePoint now, RelayActions& out);
    void SendDueParts(TimePoint now, RelayActions& out);
    void Close(std::string why, RelayActions& out, bool drainFirst = false);
    void LogStray(std::string_view data);
    std::string Tag() const { return " #" + std::to_string(id_); }

    RelayContext& context_;
    std::uint64_t id_;
    RelayPhase phase_ = RelayPhase::Reading;
    std::string request_;
    std::deque<AnswerPart> parts_;
    std::optional<TimePoint> silenceDeadline_;
    TimePoint lastActivity_;
    StrayDataLog stray_;
    bool readClosed_ = false;
};

} // namespace tsgsim
