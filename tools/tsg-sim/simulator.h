#pragma once

#include <memory>
#include <string>
#include <vector>

#include "control_sources.h"
#include "faults.h"
#include "logger.h"
#include "users.h"

namespace tsgsim {

struct Options {
    std::string bind = "127.0.0.1";
    int ctiPort = 12346;
    int relayPort = 12345;
    int controlPort = -1;  // -1: no control port; 0: any free port
    std::string usersPath;
    std::string scriptPath;
    std::string logPath;
    bool stdinControl = false;
    int relayIdleMs = 30000;    // a relay connection idle this long is closed
    int relaySilenceMs = 200;   // a request without zero byte ends after this much silence
    std::vector<FaultRule> faults;
};

// The simulated telephony server: CTI port, relay port, control channel and
// script, all served by one poll() loop on the calling thread.
class Simulator {
public:
    Simulator(Options options, UserDb users, std::vector<ScriptLine> script, Logger& log);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the listeners and the signal descriptor. On failure returns false
    // with *error set; nothing is left listening.
    bool Start(std::string* error);

    int CtiPort() const;
    int RelayPort() const;
    int ControlPort() const;  // 0 when there is no control port

    // Serves until "quit", SIGTERM or SIGINT. Returns the process exit code.
    int Run();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tsgsim
