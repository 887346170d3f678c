#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "acceptor.h"
#include "control_channel.h"
#include "control_commands.h"
#include "logger.h"
#include "poll_set.h"
#include "sim_time.h"
#include "unique_fd.h"

namespace tsgsim {

struct ScriptLine {
    int number = 0;
    std::string text;
};

// Where control lines come from, as sockets and files: the TCP control port
// (loopback only), stdin and the script. Each feeds a ControlChannel and
// carries its replies back.
class ControlSources {
public:
    // script: nullopt when there is none (an empty script file is a script).
    ControlSources(Logger& log, ConnectionIds& ids, bool stdinControl, std::optional<std::vector<ScriptLine>> script);

    bool Open(int port, std::string* error);
    int Port() const { return acceptor_.Port(); }
    std::size_t Connections() const { return connections_.size(); }

    void AddToPoll(PollSet& poll, TimePoint now);
    std::optional<TimePoint> Deadline(TimePoint now) const;
    // Runs the lines that can run now, from every source.
    void Run(ControlCommands& commands, TimePoint now);
    void Sweep();
    // One last attempt to send queued replies (such as the one to "quit").
    void FlushAll();

private:
    struct Connection {
        Connection(UniqueFd f, ControlChannel ch) : fd(std::move(f)), channel(std::move(ch)) {}
        UniqueFd fd;
        ControlChannel channel;
        std::string queued;
        bool inputClosed = false;
        bool dead = false;
    };

    void OnAccept(UniqueFd fd, const std::string& peer);
    void OnReady(std::uint64_t id, short revents);
    void Read(std::uint64_t id, Connection& c);
    void Flush(std::uint64_t id, Connection& c);
    void SendReply(std::uint64_t id, const std::string& text);
    void ReadStdin();

    Logger& log_;
    ConnectionIds& ids_;
    Acceptor acceptor_;
    std::map<std::uint64_t, Connection> connections_;
    std::optional<ControlChannel> stdin_;
    bool stdinOpen_ = false;
    std::optional<ControlChannel> script_;
    bool scriptDoneLogged_ = false;
};

} // namespace tsgsim
