#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "faults.h"
#include "logger.h"
#include "sim_time.h"
#include "users.h"

namespace tsgsim {

// The figures "status" reports.
struct ServerCounts {
    bool ctiListening = false;
    std::size_t ctiClients = 0;
    std::size_t relayOpen = 0;
    std::uint64_t relayRequests = 0;
    std::uint64_t eventsSent = 0;
    std::size_t controlClients = 0;
};

// What control commands act on besides the users and the faults: the CTI
// port and the process. The socket layer implements it; tests fake it.
class ControlHost {
public:
    // Writes bytes to every CTI client; returns how many it reached.
    virtual std::size_t Broadcast(std::string_view bytes, const char* what) = 0;
    virtual std::size_t DropCtiClients() = 0;
    virtual void StopCtiListener() = 0;
    virtual bool StartCtiListener(std::string* error) = 0;
    // Relay connects hang (stalled) or are accepted again.
    virtual bool SetRelayStalled(bool stalled, std::string* error) = 0;
    virtual ServerCounts Counts() const = 0;

protected:
    ~ControlHost() = default;
};

// A command whose reply comes later: "wait-clients" or "sleep".
struct Pending {
    bool waitClients = false;
    std::size_t clients = 0;
    std::optional<TimePoint> deadline;
};

struct CommandResult {
    std::optional<std::string> reply;  // empty while pending
    std::optional<Pending> pending;
};

// The control commands: one line in, a reply or a pending wait out.
class ControlCommands {
public:
    ControlCommands(ControlHost& host, UserDb& users, FaultTable& faults, Logger& log);

    // A non-blank line that is no comment.
    CommandResult Execute(std::string_view line, TimePoint now);
    // The reply to a pending command once it is due, nullopt before.
    std::optional<std::string> Resolve(const Pending& pending, TimePoint now) const;

    bool QuitRequested() const { return quit_; }

private:
    ControlHost& host_;
    UserDb& users_;
    FaultTable& faults_;
    Logger& log_;
    bool quit_ = false;

    struct Args;
    using Handler = CommandResult (ControlCommands::*)(const Args& args);
    struct Command {
        std::string_view name;
        Handler handler;
    };
    static const Command kCommands[];

    CommandResult Event(const Args& args);
    CommandResult Bye(const Args& args);
    CommandResult Drop(const Args& args);
    CommandResult Cti(const Args& args);
    CommandResult Relay(const Args& args);
    CommandResult SetFault(const Args& args);
    CommandResult Forced(const Args& args);
    CommandResult Status(const Args& args);
    CommandResult WaitClients(const Args& args);
    CommandResult Sleep(const Args& args);
    CommandResult Log(const Args& args);
    CommandResult Help(const Args& args);
    CommandResult Quit(const Args& args);
};

} // namespace tsgsim
