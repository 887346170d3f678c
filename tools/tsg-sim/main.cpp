// tsg-sim: a stand-in for the telephony server (CTI port and relay port) for
// end-to-end tests, demos and administrators. See README.md.

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "faults.h"
#include "logger.h"
#include "net.h"
#include "simulator.h"
#include "text.h"
#include "users.h"

namespace {

constexpr const char* kUsage = R"(usage: tsg-sim [options]

Simulates the telephony server: a CTI port that pushes call events and a
relay port that answers one request per connection.

  --cti-port N        CTI port (default 12346, 0 = any free port)
  --relay-port N      relay port (default 12345, 0 = any free port)
  --control-port N    TCP control channel on 127.0.0.1 (default: none;
                      0 = any free port, "none" = no control port)
  --bind ADDR         IPv4 address for the CTI and relay ports (default 127.0.0.1)
  --users FILE        users, profiles and devices (see README.md)
  --script FILE       run control commands from FILE alongside the servers
  --log FILE          append the log to FILE (default: stderr)
  --stdin-control     read control commands from stdin, replies go to stdout
  --fault RULE        preset relay fault, e.g. --fault "GETDEVICES late 2000";
                      same words as the control command "fault" (repeatable)
  --relay-idle-ms N   close relay connections idle this long (default 30000)
  --help              this text

On start-up one line goes to stdout:
  tsg-sim ready cti=<port> relay=<port> control=<port>
Control commands: event <text>, bye, drop, cti down|up, relay stall|up,
  fault <word|*> <mode> [args] [once], forced <uid> <id|none>, status,
  wait-clients <n> [timeout-ms], sleep <ms>, log <text>, help, quit.
)";

struct ParsedArgs {
    tsgsim::Options options;
    bool help = false;
};

std::optional<ParsedArgs> ParseArgs(int argc, char** argv, std::string* error)
{
    ParsedArgs parsed;
    tsgsim::Options& o = parsed.options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasInlineValue = false;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue) {
                return true;
            }
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
            return true;
        };
        auto takePort = [&](int* port, bool allowNone) -> bool {
            if (!takeValue()) {
                return false;
            }
            if (allowNone && value == "none") {
                *port = -1;
                return true;
            }
            auto n = tsgsim::ParseInt(value, 0, 65535);
            if (!n) {
                *error = "bad port for " + arg + ": " + value;
                return false;
            }
            *port = static_cast<int>(*n);
            return true;
        };

        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--stdin-control") {
            o.stdinControl = true;
        } else if (arg == "--cti-port") {
            if (!takePort(&o.ctiPort, false)) {
                return std::nullopt;
            }
        } else if (arg == "--relay-port") {
            if (!takePort(&o.relayPort, false)) {
                return std::nullopt;
            }
        } else if (arg == "--control-port") {
            if (!takePort(&o.controlPort, true)) {
                return std::nullopt;
            }
        } else if (arg == "--bind") {
            if (!takeValue()) {
                return std::nullopt;
            }
            if (!tsgsim::IsValidIpv4(value)) {
                *error = "--bind needs an IPv4 address, not " + value;
                return std::nullopt;
            }
            o.bind = value;
        } else if (arg == "--users" || arg == "--script" || arg == "--log") {
            if (!takeValue()) {
                return std::nullopt;
            }
            (arg == "--users" ? o.usersPath : arg == "--script" ? o.scriptPath : o.logPath) = value;
        } else if (arg == "--fault") {
            if (!takeValue()) {
                return std::nullopt;
            }
            std::string faultError;
            auto rule = tsgsim::ParseFaultRule(tsgsim::SplitWords(value), &faultError);
            if (!rule) {
                *error = "--fault \"" + value + "\": " + faultError;
                return std::nullopt;
            }
            o.faults.push_back(std::move(*rule));
        } else if (arg == "--relay-idle-ms") {
            if (!takeValue()) {
                return std::nullopt;
            }
            auto n = tsgsim::ParseInt(value, 1, 24LL * 3600 * 1000);
            if (!n) {
                *error = "bad value for --relay-idle-ms: " + value;
                return std::nullopt;
            }
            o.relayIdleMs = static_cast<int>(*n);
        } else {
            *error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    return parsed;
}

std::optional<std::vector<tsgsim::ScriptLine>> LoadScript(const std::string& path, std::string* error)
{
    std::vector<tsgsim::ScriptLine> lines;
    if (path.empty()) {
        return lines;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open script " + path;
        return std::nullopt;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        lines.push_back(tsgsim::ScriptLine{number, line});
    }
    return lines;
}

// Many CTI clients plus relay connections need more descriptors than the
// usual soft limit of 1024.
void RaiseDescriptorLimit()
{
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < lim.rlim_max && lim.rlim_cur < 4096) {
        lim.rlim_cur = lim.rlim_max < 4096 ? lim.rlim_max : 4096;
        setrlimit(RLIMIT_NOFILE, &lim);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    auto parsed = ParseArgs(argc, argv, &error);
    if (!parsed) {
        std::fprintf(stderr, "tsg-sim: %s\n(try --help)\n", error.c_str());
        return 2;
    }
    if (parsed->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    tsgsim::Options& options = parsed->options;

    tsgsim::UserDb users;
    if (!options.usersPath.empty()) {
        auto loaded = tsgsim::UserDb::Load(options.usersPath, &error);
        if (!loaded) {
            std::fprintf(stderr, "tsg-sim: users file: %s\n", error.c_str());
            return 2;
        }
        users = std::move(*loaded);
    }
    auto script = LoadScript(options.scriptPath, &error);
    if (!script) {
        std::fprintf(stderr, "tsg-sim: %s\n", error.c_str());
        return 2;
    }
    std::optional<tsgsim::Logger> log;
    if (options.logPath.empty()) {
        log.emplace();
    } else {
        log = tsgsim::Logger::OpenFile(options.logPath, &error);
        if (!log) {
            std::fprintf(stderr, "tsg-sim: %s\n", error.c_str());
            return 2;
        }
    }

    // Vanished peers must show up as write errors, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    RaiseDescriptorLimit();

    tsgsim::Simulator sim(std::move(options), std::move(users), std::move(*script), *log);
    if (!sim.Start(&error)) {
        log->Line("start failed: " + error);
        std::fprintf(stderr, "tsg-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("tsg-sim ready cti=%d relay=%d control=%d\n", sim.CtiPort(), sim.RelayPort(), sim.ControlPort());
    std::fflush(stdout);
    return sim.Run();
}
