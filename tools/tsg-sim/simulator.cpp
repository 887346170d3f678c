#include "simulator.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include "acceptor.h"
#include "control_commands.h"
#include "cti_port.h"
#include "poll_set.h"
#include "relay_port.h"
#include "relay_session.h"
#include "sim_time.h"
#include "unique_fd.h"

namespace tsgsim {

namespace {

constexpr int kMaxPollMs = 1000;

int MillisUntil(TimePoint now, TimePoint when)
{
    if (when <= now) {
        return 0;
    }
    auto ms = std::chrono::ceil<Millis>(when - now).count();
    return ms > kMaxPollMs ? kMaxPollMs : static_cast<int>(ms);
}

std::optional<std::vector<ScriptLine>> ScriptIfAny(std::vector<ScriptLine> script, const Options& options)
{
    if (script.empty() && options.scriptPath.empty()) {
        return std::nullopt;
    }
    return script;
}

} // namespace

// Wires the ports together and runs the poll() loop. The protocols live in
// RelaySession and ControlChannel/ControlCommands; this is only the plumbing.
class Simulator::Impl : private ControlHost {
public:
    Impl(Options options, UserDb users, std::vector<ScriptLine> script, Logger& log)
        : options_(std::move(options)), users_(std::move(users)), log_(log),
          hasScript_(!script.empty() || !options_.scriptPath.empty()),
          relayContext_{users_, faults_, log_, options_.relayIdleMs, options_.relaySilenceMs},
          cti_(log_, ids_), relay_(relayContext_, ids_),
          control_(log_, ids_, options_.stdinControl, ScriptIfAny(std::move(script), options_)),
          commands_(*this, users_, faults_, log_)
    {
        for (auto& rule : options_.faults) {
            faults_.Set(rule);
        }
    }

    bool Start(std::string* error);
    int Run();

    int CtiPort() const { return cti_.Port(); }
    int RelayPort() const { return relay_.Port(); }
    int ControlPort() const { return options_.controlPort >= 0 ? control_.Port() : 0; }

private:
    // ControlHost
    std::size_t Broadcast(std::string_view bytes, const char* what) override { return cti_.Broadcast(bytes, what); }
    std::size_t DropCtiClients() override { return cti_.DropClients(); }
    void StopCtiListener() override { cti_.StopListening(); }
    bool StartCtiListener(std::string* error) override { return cti_.StartListening(error); }
    bool SetRelayStalled(bool stalled, std::string* error) override { return relay_.SetStalled(stalled, error); }
    ServerCounts Counts() const override
    {
        return {cti_.Listening(), cti_.Clients(),        relay_.OpenConnections(),
                relayContext_.requests, cti_.EventsSent(), control_.Connections()};
    }

    bool Quitting() const { return quit_ || commands_.QuitRequested(); }
    int PollTimeoutMs(TimePoint now) const;
    void Sweep();
    void HandleSignal();

    Options options_;
    UserDb users_;
    Logger& log_;
    bool hasScript_;
    FaultTable faults_;
    ConnectionIds ids_;
    RelayContext relayContext_;
    tsgsim::CtiPort cti_;
    tsgsim::RelayPort relay_;
    ControlSources control_;
    ControlCommands commands_;
    PollSet poll_;
    UniqueFd signalFd_;
    bool quit_ = false;
    int exitCode_ = 0;
};

bool Simulator::Impl::Start(std::string* error)
{
    if (!cti_.Open(options_.bind, options_.ctiPort, error) || !relay_.Open(options_.bind, options_.relayPort, error)) {
        return false;
    }
    if (options_.controlPort >= 0 && !control_.Open(options_.controlPort, error)) {
        return false;
    }
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
        *error = std::string("sigprocmask: ") + std::strerror(errno);
        return false;
    }
    signalFd_.Reset(signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC));
    if (!signalFd_.Valid()) {
        *error = std::string("signalfd: ") + std::strerror(errno);
        return false;
    }

    std::size_t userCount = users_.Users().size();
    log_.Line("tsg-sim started cti=" + std::to_string(CtiPort()) + " relay=" + std::to_string(RelayPort())
              + " control=" + std::to_string(ControlPort()) + " bind=" + options_.bind + " users="
              + std::to_string(userCount) + (options_.stdinControl ? " stdin-control" : "")
              + (hasScript_ ? " script=" + options_.scriptPath : ""));
    if (userCount == 0) {
        log_.Line("no users loaded: every relay request naming a user gets \"-ERR|unknown user\"");
    }
    if (faults_.Describe() != "none") {
        log_.Line("FAULT initial " + faults_.Describe());
    }
    return true;
}

int Simulator::Impl::Run()
{
    while (!Quitting()) {
        TimePoint now = Clock::now();
        relay_.RunTimers(now);
        control_.Run(commands_, now);
        Sweep();
        if (Quitting()) {
            break;
        }

        now = Clock::now();
        poll_.Clear();
        poll_.Add(signalFd_.Get(), POLLIN, [this](short) { HandleSignal(); });
        cti_.AddToPoll(poll_, now);
        relay_.AddToPoll(poll_, now);
        control_.AddToPoll(poll_, now);
        if (poll_.Wait(PollTimeoutMs(now)) < 0) {
            if (errno == EINTR) {
                continue;
            }
            log_.Line(std::string("poll failed: ") + std::strerror(errno));
            exitCode_ = 1;
            break;
        }
        poll_.Dispatch();
        Sweep();
    }

    control_.FlushAll();
    log_.Line("tsg-sim stopped");
    return exitCode_;
}

int Simulator::Impl::PollTimeoutMs(TimePoint now) const
{
    TimePoint next = now + Millis(kMaxPollMs);
    for (auto due : {cti_.Deadline(now), relay_.Deadline(now), control_.Deadline(now)}) {
        if (due && *due < next) {
            next = *due;
        }
    }
    return MillisUntil(now, next);
}

void Simulator::Impl::Sweep()
{
    cti_.Sweep();
    relay_.Sweep();
    control_.Sweep();
}

void Simulator::Impl::HandleSignal()
{
    signalfd_siginfo info{};
    ssize_t n = ::read(signalFd_.Get(), &info, sizeof info);
    if (n != static_cast<ssize_t>(sizeof info)) {
        return;
    }
    const char* name = info.ssi_signo == SIGTERM ? "SIGTERM" : info.ssi_signo == SIGINT ? "SIGINT" : "signal";
    log_.Line(std::string(name) + " received, stopping");
    quit_ = true;
}

// ---------------------------------------------------------------- facade

Simulator::Simulator(Options options, UserDb users, std::vector<ScriptLine> script, Logger& log)
    : impl_(std::make_unique<Impl>(std::move(options), std::move(users), std::move(script), log))
{
}

Simulator::~Simulator() = default;

bool Simulator::Start(std::string* error)
{
    return impl_->Start(error);
}

int Simulator::CtiPort() const
{
    return impl_->CtiPort();
}

int Simulator::RelayPort() const
{
    return impl_->RelayPort();
}

int Simulator::ControlPort() const
{
    return impl_->ControlPort();
}

int Simulator::Run()
{
    return impl_->Run();
}

} // namespace tsgsim
