#include "simulator.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <string_view>
#include <utility>

#include "net.h"
#include "relay_logic.h"
#include "text.h"
#include "unique_fd.h"

namespace tsgsim {

namespace {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Millis = std::chrono::milliseconds;

// Limits that keep a misbehaving peer from eating the machine.
constexpr std::size_t kMaxCtiClients = 1000;
constexpr std::size_t kMaxRelayConns = 1000;
constexpr std::size_t kMaxControlConns = 50;
constexpr std::size_t kMaxCtiQueued = 4u << 20;       // unsent event bytes per slow CTI client
constexpr std::size_t kMaxRequestBytes = 64u << 10;   // one relay request
constexpr std::size_t kMaxControlLine = 256u << 10;   // one control line
constexpr std::size_t kMaxControlQueued = 1u << 20;   // unsent reply bytes per control client
constexpr std::size_t kMaxPendingLines = 1000;        // read-ahead of control lines
constexpr std::size_t kAnswerPreviewBytes = 1024;     // bytes of an answer shown in the log
constexpr std::size_t kDataPreviewBytes = 512;        // bytes of stray data shown in the log
constexpr std::size_t kEventPreviewBytes = 8192;      // bytes of an event shown in the log
constexpr int kStrayLogLines = 5;                     // stray reads logged per connection
constexpr int kAcceptPauseMs = 100;
constexpr int kMaxPollMs = 1000;
constexpr int kReadsPerWakeup = 64;

enum class SourceKind { Stdin, Tcp, Script };

// A deferred reply: "wait-clients" or "sleep".
struct Pending {
    bool waitClients = false;
    std::size_t clients = 0;
    std::optional<TimePoint> deadline;
};

// Where control lines come from and where their replies go. Lines of one
// source run in order: while one waits, the following ones wait too.
struct CommandSource {
    SourceKind kind = SourceKind::Stdin;
    std::uint64_t connId = 0;
    std::string partial;
    bool skippingLongLine = false;
    int linesSeen = 0;
    int currentLine = 0;
    std::deque<std::pair<int, std::string>> lines;
    std::optional<Pending> pending;

    std::string Label() const
    {
        switch (kind) {
        case SourceKind::Stdin: return "stdin";
        case SourceKind::Tcp: return "tcp#" + std::to_string(connId);
        case SourceKind::Script: return "script:" + std::to_string(currentLine);
        }
        return "?";
    }
};

struct CtiClient {
    UniqueFd fd;
    std::string peer;
    std::string queued;
    int strayReads = 0;
    bool dead = false;
};

enum class RelayPhase {
    Reading,   // collecting the request
    NoRead,    // fault noread: never read, wait for the client to go
    Holding,   // fault noanswer: request read, no answer ever
    Delayed,   // an answer (or its second half) is due at answerAt
    Answered,  // answer given; held open until the client closes or idles out
};

struct RelayConn {
    UniqueFd fd;
    std::string peer;
    RelayPhase phase = RelayPhase::Reading;
    std::string request;
    std::string queued;
    std::string delayed;
    std::string delayedNote;
    std::optional<TimePoint> silenceDeadline;
    std::optional<TimePoint> answerAt;
    TimePoint lastActivity;
    int strayReads = 0;
    bool readClosed = false;
    bool dead = false;
};

struct ControlConn {
    UniqueFd fd;
    std::string peer;
    CommandSource source;
    std::string queued;
    bool inputClosed = false;
    bool dead = false;
};

std::string Quoted(std::string_view bytes, std::size_t maxBytes = static_cast<std::size_t>(-1))
{
    std::string out = "\"" + EscapeBytes(bytes, maxBytes) + "\"";
    if (bytes.size() > maxBytes) {
        out += "... (" + std::to_string(bytes.size()) + " bytes)";
    }
    return out;
}

// Log text for data nobody asked for; a peer that keeps sending gets a few
// lines, then one note, so it cannot flood the log.
std::optional<std::string> StrayData(int* count, std::string_view data)
{
    ++*count;
    if (*count > kStrayLogLines + 1) {
        return std::nullopt;
    }
    if (*count == kStrayLogLines + 1) {
        return std::string("(more data, no longer logged)");
    }
    return Quoted(data, kDataPreviewBytes);
}

int MillisUntil(TimePoint now, TimePoint when)
{
    if (when <= now) {
        return 0;
    }
    auto ms = std::chrono::ceil<Millis>(when - now).count();
    return ms > kMaxPollMs ? kMaxPollMs : static_cast<int>(ms);
}

bool AcceptShouldPause(int err)
{
    return err == EMFILE || err == ENFILE || err == ENOBUFS || err == ENOMEM;
}

bool AcceptRetryable(int err)
{
    return err == EINTR || err == ECONNABORTED || err == EPROTO || err == EPERM;
}

// A request sent without a terminating zero byte (only CTILOGIN is) is
// complete once it has its fields and nothing more is waiting in the socket.
bool CompleteWithoutZero(std::string_view request)
{
    if (request.substr(0, 9) != "CTILOGIN|") {
        return false;
    }
    return request.find('|', 9) != std::string_view::npos;
}

} // namespace

class Simulator::Impl {
public:
    Impl(Options options, UserDb users, std::vector<ScriptLine> script, Logger& log)
        : options_(std::move(options)), users_(std::move(users)), log_(log), rng_(std::random_device{}())
    {
        for (auto& rule : options_.faults) {
            faults_.Set(rule);
        }
        if (!script.empty() || !options_.scriptPath.empty()) {
            CommandSource src;
            src.kind = SourceKind::Script;
            for (auto& line : script) {
                src.lines.emplace_back(line.number, std::move(line.text));
            }
            script_ = std::move(src);
        }
        if (options_.stdinControl) {
            CommandSource src;
            src.kind = SourceKind::Stdin;
            stdin_ = std::move(src);
        }
    }

    bool Start(std::string* error);
    int Run();

    int ctiPort = 0;
    int relayPort = 0;
    int controlPort = 0;

private:
    enum class SlotKind { Signal, Stdin, CtiListen, RelayListen, ControlListen, Cti, Relay, Control };
    struct Slot {
        SlotKind kind;
        std::uint64_t id;
    };

    // Loop plumbing.
    int PollTimeoutMs(TimePoint now) const;
    void Dispatch(const Slot& slot, short revents);
    void Sweep();
    void HandleSignal();

    // CTI port.
    void AcceptCti();
    void ReadCti(std::uint64_t id, CtiClient& c);
    void FlushCti(std::uint64_t id, CtiClient& c);
    std::size_t LiveCtiClients() const;
    std::size_t Broadcast(std::string_view bytes, const char* what);
    std::size_t DropCtiClients();

    // Relay port.
    void AcceptRelay();
    void ReadRelay(std::uint64_t id, RelayConn& c);
    void CompleteRequest(std::uint64_t id, RelayConn& c);
    // Writes an answer (or its first part when `last` is false: more follows after a delay).
    void SendAnswer(std::uint64_t id, RelayConn& c, const std::string& bytes, const std::string& note,
                    bool last = true);
    void QueueRelay(std::uint64_t id, RelayConn& c, std::string_view bytes);
    void FlushRelay(std::uint64_t id, RelayConn& c);
    void CloseRelay(std::uint64_t id, RelayConn& c, const std::string& why);
    void MaybeFinishRelay(std::uint64_t id, RelayConn& c);
    void RunRelayTimers(TimePoint now);
    std::size_t LiveRelayConns() const;
    std::string Garbage();

    // Control channel and script.
    void AcceptControl();
    void ReadControl(std::uint64_t id, ControlConn& c);
    void FlushControl(ControlConn& c);
    void ReadStdin();
    void Feed(CommandSource& src, std::string_view data);
    void EndOfInput(CommandSource& src);
    void PumpSources();
    void RunSource(CommandSource& src);
    bool ResolvePending(CommandSource& src);
    void ExecuteLine(CommandSource& src, int lineNo, const std::string& raw);
    std::optional<std::string> Execute(CommandSource& src, std::string_view line);
    void Reply(CommandSource& src, const std::string& text);
    std::string Status() const;

    Options options_;
    UserDb users_;
    Logger& log_;
    FaultTable faults_;
    std::mt19937 rng_;

    UniqueFd signalFd_;
    UniqueFd ctiListener_;
    UniqueFd relayListener_;
    UniqueFd controlListener_;
    TimePoint ctiPausedUntil_{};
    TimePoint relayPausedUntil_{};
    TimePoint controlPausedUntil_{};

    std::map<std::uint64_t, CtiClient> cti_;
    std::map<std::uint64_t, RelayConn> relay_;
    std::map<std::uint64_t, ControlConn> control_;
    std::optional<CommandSource> stdin_;
    bool stdinOpen_ = false;
    std::optional<CommandSource> script_;
    bool scriptDoneLogged_ = false;

    std::uint64_t nextId_ = 1;
    std::uint64_t eventsSent_ = 0;
    std::uint64_t relayRequests_ = 0;
    bool quit_ = false;
    int exitCode_ = 0;
};

// ---------------------------------------------------------------- start / loop

bool Simulator::Impl::Start(std::string* error)
{
    ctiListener_ = ListenTcp(options_.bind, options_.ctiPort, &ctiPort, error);
    if (!ctiListener_.Valid()) {
        return false;
    }
    relayListener_ = ListenTcp(options_.bind, options_.relayPort, &relayPort, error);
    if (!relayListener_.Valid()) {
        return false;
    }
    if (options_.controlPort >= 0) {
        // The control channel has no authentication: loopback only, whatever --bind says.
        controlListener_ = ListenTcp("127.0.0.1", options_.controlPort, &controlPort, error);
        if (!controlListener_.Valid()) {
            return false;
        }
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
    stdinOpen_ = stdin_.has_value();

    std::size_t userCount = users_.Users().size();
    log_.Line("tsg-sim started cti=" + std::to_string(ctiPort) + " relay=" + std::to_string(relayPort)
              + " control=" + std::to_string(controlPort) + " bind=" + options_.bind + " users="
              + std::to_string(userCount) + (options_.stdinControl ? " stdin-control" : "")
              + (script_ ? " script=" + options_.scriptPath : ""));
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
    std::vector<pollfd> fds;
    std::vector<Slot> slots;
    while (!quit_) {
        RunRelayTimers(Clock::now());
        PumpSources();
        Sweep();
        if (quit_) {
            break;
        }

        fds.clear();
        slots.clear();
        auto add = [&](int fd, short events, SlotKind kind, std::uint64_t id) {
            fds.push_back(pollfd{fd, events, 0});
            slots.push_back(Slot{kind, id});
        };
        TimePoint now = Clock::now();
        add(signalFd_.Get(), POLLIN, SlotKind::Signal, 0);
        if (stdinOpen_ && stdin_->lines.size() < kMaxPendingLines) {
            add(STDIN_FILENO, POLLIN, SlotKind::Stdin, 0);
        }
        if (ctiListener_.Valid() && now >= ctiPausedUntil_) {
            add(ctiListener_.Get(), POLLIN, SlotKind::CtiListen, 0);
        }
        if (relayListener_.Valid() && now >= relayPausedUntil_) {
            add(relayListener_.Get(), POLLIN, SlotKind::RelayListen, 0);
        }
        if (controlListener_.Valid() && now >= controlPausedUntil_) {
            add(controlListener_.Get(), POLLIN, SlotKind::ControlListen, 0);
        }
        for (auto& [id, c] : cti_) {
            add(c.fd.Get(), static_cast<short>(POLLIN | (c.queued.empty() ? 0 : POLLOUT)), SlotKind::Cti, id);
        }
        for (auto& [id, c] : relay_) {
            short events = 0;
            if (c.phase == RelayPhase::NoRead) {
                events = POLLRDHUP;
            } else if (!c.readClosed) {
                events = POLLIN;
            }
            if (!c.queued.empty()) {
                events = static_cast<short>(events | POLLOUT);
            }
            add(c.fd.Get(), events, SlotKind::Relay, id);
        }
        for (auto& [id, c] : control_) {
            short events = 0;
            if (!c.inputClosed && c.source.lines.size() < kMaxPendingLines) {
                events = POLLIN;
            }
            if (!c.queued.empty()) {
                events = static_cast<short>(events | POLLOUT);
            }
            add(c.fd.Get(), events, SlotKind::Control, id);
        }

        int n = ::poll(fds.data(), fds.size(), PollTimeoutMs(now));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            log_.Line(std::string("poll failed: ") + std::strerror(errno));
            exitCode_ = 1;
            break;
        }
        for (std::size_t i = 0; i < fds.size() && n > 0; ++i) {
            if (fds[i].revents != 0) {
                --n;
                Dispatch(slots[i], fds[i].revents);
            }
        }
        Sweep();
    }

    // Give replies such as the one to "quit" a last chance to leave.
    for (auto& [id, c] : control_) {
        if (!c.dead && !c.queued.empty()) {
            SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
        }
    }
    log_.Line("tsg-sim stopped");
    return exitCode_;
}

int Simulator::Impl::PollTimeoutMs(TimePoint now) const
{
    TimePoint next = now + Millis(kMaxPollMs);
    auto consider = [&](TimePoint t) {
        if (t < next) {
            next = t;
        }
    };
    for (const auto& [id, c] : relay_) {
        if (c.silenceDeadline) {
            consider(*c.silenceDeadline);
        }
        if (c.answerAt) {
            consider(*c.answerAt);
        }
        if (c.phase != RelayPhase::Delayed) {
            consider(c.lastActivity + Millis(options_.relayIdleMs));
        }
    }
    auto considerSource = [&](const CommandSource& src) {
        if (src.pending && src.pending->deadline) {
            consider(*src.pending->deadline);
        }
    };
    if (stdin_) {
        considerSource(*stdin_);
    }
    if (script_) {
        considerSource(*script_);
    }
    for (const auto& [id, c] : control_) {
        considerSource(c.source);
    }
    for (TimePoint paused : {ctiPausedUntil_, relayPausedUntil_, controlPausedUntil_}) {
        if (paused > now) {
            consider(paused);
        }
    }
    return MillisUntil(now, next);
}

void Simulator::Impl::Dispatch(const Slot& slot, short revents)
{
    switch (slot.kind) {
    case SlotKind::Signal:
        HandleSignal();
        return;
    case SlotKind::Stdin:
        ReadStdin();
        return;
    case SlotKind::CtiListen:
        AcceptCti();
        return;
    case SlotKind::RelayListen:
        AcceptRelay();
        return;
    case SlotKind::ControlListen:
        AcceptControl();
        return;
    case SlotKind::Cti: {
        auto it = cti_.find(slot.id);
        if (it == cti_.end() || it->second.dead) {
            return;
        }
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            ReadCti(slot.id, it->second);
        }
        if (!it->second.dead && (revents & POLLOUT)) {
            FlushCti(slot.id, it->second);
        }
        return;
    }
    case SlotKind::Relay: {
        auto it = relay_.find(slot.id);
        if (it == relay_.end() || it->second.dead) {
            return;
        }
        RelayConn& c = it->second;
        if (c.phase == RelayPhase::NoRead) {
            if (revents & (POLLRDHUP | POLLHUP | POLLERR)) {
                CloseRelay(slot.id, c, "by client; request never read");
            }
            return;
        }
        if (c.readClosed && (revents & (POLLHUP | POLLERR))) {
            CloseRelay(slot.id, c, "connection lost");
            return;
        }
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            ReadRelay(slot.id, c);
        }
        if (!c.dead && (revents & POLLOUT)) {
            FlushRelay(slot.id, c);
        }
        return;
    }
    case SlotKind::Control: {
        auto it = control_.find(slot.id);
        if (it == control_.end() || it->second.dead) {
            return;
        }
        if (it->second.inputClosed && (revents & (POLLHUP | POLLERR))) {
            log_.Line("CONTROL connection #" + std::to_string(slot.id) + " lost");
            it->second.dead = true;
            return;
        }
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            ReadControl(slot.id, it->second);
        }
        if (!it->second.dead && (revents & POLLOUT)) {
            FlushControl(it->second);
        }
        return;
    }
    }
}

void Simulator::Impl::Sweep()
{
    std::erase_if(cti_, [](const auto& entry) { return entry.second.dead; });
    std::erase_if(relay_, [](const auto& entry) { return entry.second.dead; });
    for (auto& [id, c] : control_) {
        if (!c.dead && c.inputClosed && c.source.lines.empty() && !c.source.pending && c.queued.empty()) {
            log_.Line("CONTROL connection #" + std::to_string(id) + " closed");
            c.dead = true;
        }
    }
    std::erase_if(control_, [](const auto& entry) { return entry.second.dead; });
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

// ---------------------------------------------------------------- CTI port

std::size_t Simulator::Impl::LiveCtiClients() const
{
    std::size_t n = 0;
    for (const auto& [id, c] : cti_) {
        if (!c.dead) {
            ++n;
        }
    }
    return n;
}

void Simulator::Impl::AcceptCti()
{
    for (;;) {
        std::string peer;
        UniqueFd fd = AcceptTcp(ctiListener_.Get(), &peer);
        if (!fd.Valid()) {
            int err = errno;
            if (AcceptRetryable(err)) {
                continue;
            }
            if (AcceptShouldPause(err)) {
                log_.Line(std::string("CTI accept failed: ") + std::strerror(err) + ", pausing");
                ctiPausedUntil_ = Clock::now() + Millis(kAcceptPauseMs);
            } else if (err != EAGAIN && err != EWOULDBLOCK) {
                log_.Line(std::string("CTI accept failed: ") + std::strerror(err));
            }
            return;
        }
        if (LiveCtiClients() >= kMaxCtiClients) {
            log_.Line("CTI client refused " + peer + " (limit of " + std::to_string(kMaxCtiClients) + " reached)");
            continue;
        }
        std::uint64_t id = nextId_++;
        CtiClient c;
        c.fd = std::move(fd);
        c.peer = peer;
        cti_.emplace(id, std::move(c));
        log_.Line("CTI client connected " + peer + " #" + std::to_string(id) + " (" + std::to_string(LiveCtiClients())
                  + " connected)");
    }
}

void Simulator::Impl::ReadCti(std::uint64_t id, CtiClient& c)
{
    char buf[4096];
    for (int i = 0; i < kReadsPerWakeup; ++i) {
        ssize_t n = ::recv(c.fd.Get(), buf, sizeof buf, 0);
        if (n > 0) {
            // The client is not supposed to talk on this port; note it and drop it.
            if (auto text = StrayData(&c.strayReads, std::string_view(buf, static_cast<std::size_t>(n)))) {
                log_.Line("CTI data from " + c.peer + " #" + std::to_string(id) + " " + *text + " (discarded)");
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        std::string why = n == 0 ? "closed by client" : std::string("error: ") + std::strerror(errno);
        c.dead = true;
        c.fd.Reset();
        log_.Line("CTI client disconnected " + c.peer + " #" + std::to_string(id) + " " + why + " ("
                  + std::to_string(LiveCtiClients()) + " connected)");
        return;
    }
}

void Simulator::Impl::FlushCti(std::uint64_t id, CtiClient& c)
{
    long n = SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
    if (n < 0) {
        c.dead = true;
        c.fd.Reset();
        log_.Line("CTI client disconnected " + c.peer + " #" + std::to_string(id) + " send error: "
                  + std::strerror(errno));
        return;
    }
    c.queued.erase(0, static_cast<std::size_t>(n));
}

std::size_t Simulator::Impl::Broadcast(std::string_view bytes, const char* what)
{
    std::size_t reached = 0;
    std::size_t notWhole = 0;
    // The timestamp of the log line is the moment right before the writes:
    // tests measure the way from here to the popup.
    WallTime when = NowWall();
    for (auto& [id, c] : cti_) {
        if (c.dead) {
            continue;
        }
        if (!c.queued.empty()) {
            // An earlier event is still stuck in this client's socket buffer.
            if (c.queued.size() + bytes.size() > kMaxCtiQueued) {
                c.dead = true;
                c.fd.Reset();
                log_.Line("CTI client disconnected " + c.peer + " #" + std::to_string(id) + " (not reading, "
                          + std::to_string(c.queued.size()) + " bytes queued)");
                continue;
            }
            c.queued.append(bytes);
            ++notWhole;
            ++reached;
            continue;
        }
        long n = SendSome(c.fd.Get(), bytes.data(), bytes.size());
        if (n < 0) {
            int err = errno;
            c.dead = true;
            c.fd.Reset();
            log_.Line("CTI client disconnected " + c.peer + " #" + std::to_string(id) + " send error: "
                      + std::strerror(err));
            continue;
        }
        if (static_cast<std::size_t>(n) < bytes.size()) {
            c.queued.assign(bytes.substr(static_cast<std::size_t>(n)));
            ++notWhole;
        }
        ++reached;
    }
    ++eventsSent_;
    std::string line = std::string("CTI ") + what + " sent " + Quoted(bytes, kEventPreviewBytes) + " to " + std::to_string(reached)
                       + " client(s) t=" + std::to_string(EpochMs(when));
    if (notWhole > 0) {
        line += " (" + std::to_string(notWhole) + " client(s) not in one write: socket buffer full)";
    }
    log_.LineAt(when, line);
    return reached;
}

std::size_t Simulator::Impl::DropCtiClients()
{
    std::size_t n = 0;
    for (auto& [id, c] : cti_) {
        if (!c.dead) {
            c.dead = true;
            c.fd.Reset();
            ++n;
        }
    }
    log_.Line("CTI dropped " + std::to_string(n) + " client(s)");
    return n;
}

// ---------------------------------------------------------------- relay port

std::size_t Simulator::Impl::LiveRelayConns() const
{
    std::size_t n = 0;
    for (const auto& [id, c] : relay_) {
        if (!c.dead) {
            ++n;
        }
    }
    return n;
}

void Simulator::Impl::AcceptRelay()
{
    for (;;) {
        std::string peer;
        UniqueFd fd = AcceptTcp(relayListener_.Get(), &peer);
        if (!fd.Valid()) {
            int err = errno;
            if (AcceptRetryable(err)) {
                continue;
            }
            if (AcceptShouldPause(err)) {
                log_.Line(std::string("RELAY accept failed: ") + std::strerror(err) + ", pausing");
                relayPausedUntil_ = Clock::now() + Millis(kAcceptPauseMs);
            } else if (err != EAGAIN && err != EWOULDBLOCK) {
                log_.Line(std::string("RELAY accept failed: ") + std::strerror(err));
            }
            return;
        }
        if (LiveRelayConns() >= kMaxRelayConns) {
            log_.Line("RELAY connection refused " + peer + " (limit of " + std::to_string(kMaxRelayConns)
                      + " reached)");
            continue;
        }
        std::uint64_t id = nextId_++;
        RelayConn c;
        c.fd = std::move(fd);
        c.peer = peer;
        c.lastActivity = Clock::now();
        log_.Line("RELAY connection from " + peer + " #" + std::to_string(id));
        if (faults_.TakeNoRead()) {
            c.phase = RelayPhase::NoRead;
            log_.Line("RELAY fault noread #" + std::to_string(id) + ": request will not be read");
        }
        relay_.emplace(id, std::move(c));
    }
}

void Simulator::Impl::ReadRelay(std::uint64_t id, RelayConn& c)
{
    char buf[4096];
    bool gotData = false;
    for (int i = 0; i < kReadsPerWakeup && !c.dead; ++i) {
        ssize_t n = ::recv(c.fd.Get(), buf, sizeof buf, 0);
        if (n > 0) {
            gotData = true;
            c.lastActivity = Clock::now();
            std::string_view data(buf, static_cast<std::size_t>(n));
            if (c.phase != RelayPhase::Reading) {
                if (auto text = StrayData(&c.strayReads, data)) {
                    log_.Line("RELAY data after request #" + std::to_string(id) + " " + *text + " (ignored)");
                }
                continue;
            }
            std::size_t zero = data.find('\0');
            if (zero != std::string_view::npos) {
                c.request.append(data.substr(0, zero + 1));
                std::string_view extra = data.substr(zero + 1);
                CompleteRequest(id, c);
                if (!extra.empty() && !c.dead) {
                    if (auto text = StrayData(&c.strayReads, extra)) {
                        log_.Line("RELAY data after request #" + std::to_string(id) + " " + *text + " (ignored)");
                    }
                }
                continue;
            }
            c.request.append(data);
            if (c.request.size() >= kMaxRequestBytes) {
                log_.Line("RELAY request #" + std::to_string(id) + " reached " + std::to_string(kMaxRequestBytes)
                          + " bytes without zero byte; taking it as it is");
                CompleteRequest(id, c);
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (n < 0) {
            CloseRelay(id, c, std::string("read error: ") + std::strerror(errno));
            return;
        }
        // End of the client's data.
        c.readClosed = true;
        switch (c.phase) {
        case RelayPhase::Reading:
            if (c.request.empty()) {
                CloseRelay(id, c, "by client without a request");
                return;
            }
            log_.Line("RELAY client #" + std::to_string(id) + " ended its sending side");
            CompleteRequest(id, c);
            break;
        case RelayPhase::Delayed:
            break;  // still owed an answer; close after it has been written
        default:
            CloseRelay(id, c, "by client");
            return;
        }
        break;
    }
    if (c.dead) {
        return;
    }
    if (c.phase == RelayPhase::Reading && gotData && !c.request.empty()) {
        if (CompleteWithoutZero(c.request)) {
            CompleteRequest(id, c);
        } else {
            c.silenceDeadline = Clock::now() + Millis(options_.relaySilenceMs);
        }
    }
    if (!c.dead) {
        MaybeFinishRelay(id, c);
    }
}

void Simulator::Impl::CompleteRequest(std::uint64_t id, RelayConn& c)
{
    const std::string tag = " #" + std::to_string(id);
    c.silenceDeadline.reset();
    ++relayRequests_;
    log_.Line("RELAY request " + Quoted(c.request) + tag);

    std::string_view request = c.request;
    if (!request.empty() && request.back() == '\0') {
        request.remove_suffix(1);
    }
    std::string word(CommandWord(request));
    Fault fault = faults_.TakeForRequest(word);
    // The request takes effect whatever happens to its answer: a lost answer
    // does not undo a forced profile on a real server either.
    RelayReply reply = AnswerRelayRequest(users_, request);
    if (!reply.note.empty()) {
        log_.Line("RELAY " + reply.note + tag);
    }
    if (fault.mode != FaultMode::Normal) {
        log_.Line("RELAY fault " + DescribeFault(fault) + " for " + Quoted(word) + tag);
    }

    switch (fault.mode) {
    case FaultMode::Normal:
    case FaultMode::NoRead:
        SendAnswer(id, c, reply.answer, "");
        return;
    case FaultMode::NoAnswer:
        c.phase = RelayPhase::Holding;
        log_.Line("RELAY not answering" + tag + " (answer would have been " + Quoted(reply.answer, kAnswerPreviewBytes)
                  + ")");
        return;
    case FaultMode::Late:
        c.phase = RelayPhase::Delayed;
        c.delayed = reply.answer;
        c.delayedNote = " (late " + std::to_string(fault.arg) + " ms)";
        c.answerAt = Clock::now() + Millis(fault.arg);
        return;
    case FaultMode::Split: {
        if (reply.answer.size() < 2) {
            SendAnswer(id, c, reply.answer, " (too short to split)");
            return;
        }
        std::size_t half = reply.answer.size() / 2;
        SendAnswer(id, c, reply.answer.substr(0, half), " (split, first half)", false);
        if (c.dead) {
            return;
        }
        c.delayed = reply.answer.substr(half);
        c.delayedNote = " (split, second half)";
        c.answerAt = Clock::now() + Millis(fault.arg);
        return;
    }
    case FaultMode::Close: {
        // FIN first, then empty the receive queue: closing a socket with
        // unread bytes would reset the connection instead of ending it.
        ::shutdown(c.fd.Get(), SHUT_WR);
        char sink[4096];
        while (::recv(c.fd.Get(), sink, sizeof sink, 0) > 0) {
        }
        CloseRelay(id, c, "without answer: fault close");
        return;
    }
    case FaultMode::Garbage:
        SendAnswer(id, c, Garbage(), " (fault garbage)");
        return;
    case FaultMode::Big: {
        std::string big = "+OK|";
        big.reserve(big.size() + static_cast<std::size_t>(fault.arg));
        for (long long i = 0; i < fault.arg; ++i) {
            big += static_cast<char>('0' + i % 10);
        }
        SendAnswer(id, c, big, " (fault big " + std::to_string(fault.arg) + ")");
        return;
    }
    case FaultMode::Answer:
        SendAnswer(id, c, fault.text, " (fault answer)");
        return;
    }
}

void Simulator::Impl::SendAnswer(std::uint64_t id, RelayConn& c, const std::string& bytes, const std::string& note,
                                 bool last)
{
    c.phase = last ? RelayPhase::Answered : RelayPhase::Delayed;
    log_.Line("RELAY answer " + Quoted(bytes, kAnswerPreviewBytes) + " #" + std::to_string(id) + note);
    QueueRelay(id, c, bytes);
    if (!c.dead && last) {
        MaybeFinishRelay(id, c);
    }
}

void Simulator::Impl::QueueRelay(std::uint64_t id, RelayConn& c, std::string_view bytes)
{
    c.lastActivity = Clock::now();
    if (!c.queued.empty()) {
        c.queued.append(bytes);
        return;
    }
    long n = SendSome(c.fd.Get(), bytes.data(), bytes.size());
    if (n < 0) {
        CloseRelay(id, c, std::string("send error: ") + std::strerror(errno));
        return;
    }
    if (static_cast<std::size_t>(n) < bytes.size()) {
        c.queued.assign(bytes.substr(static_cast<std::size_t>(n)));
        log_.Line("RELAY answer #" + std::to_string(id) + ": " + std::to_string(n) + " of "
                  + std::to_string(bytes.size()) + " bytes in the first write, rest follows");
    }
}

void Simulator::Impl::FlushRelay(std::uint64_t id, RelayConn& c)
{
    long n = SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
    if (n < 0) {
        CloseRelay(id, c, std::string("send error: ") + std::strerror(errno));
        return;
    }
    if (n > 0) {
        c.lastActivity = Clock::now();
    }
    c.queued.erase(0, static_cast<std::size_t>(n));
    MaybeFinishRelay(id, c);
}

void Simulator::Impl::CloseRelay(std::uint64_t id, RelayConn& c, const std::string& why)
{
    c.dead = true;
    c.fd.Reset();
    log_.Line("RELAY connection #" + std::to_string(id) + " closed (" + why + ")");
}

void Simulator::Impl::MaybeFinishRelay(std::uint64_t id, RelayConn& c)
{
    if (c.phase == RelayPhase::Answered && c.readClosed && c.queued.empty()) {
        CloseRelay(id, c, "after answer; client ended its sending side");
    }
}

void Simulator::Impl::RunRelayTimers(TimePoint now)
{
    for (auto& [id, c] : relay_) {
        if (c.dead) {
            continue;
        }
        if (c.phase == RelayPhase::Reading && c.silenceDeadline && now >= *c.silenceDeadline) {
            log_.Line("RELAY request #" + std::to_string(id) + " has no zero byte; taking it after "
                      + std::to_string(options_.relaySilenceMs) + " ms of silence");
            CompleteRequest(id, c);
            continue;
        }
        if (c.phase == RelayPhase::Delayed && c.answerAt && now >= *c.answerAt) {
            c.answerAt.reset();
            std::string bytes = std::move(c.delayed);
            c.delayed.clear();
            SendAnswer(id, c, bytes, c.delayedNote);
            continue;
        }
        if (c.phase != RelayPhase::Delayed && now - c.lastActivity >= Millis(options_.relayIdleMs)) {
            CloseRelay(id, c, "after " + std::to_string(options_.relayIdleMs) + " ms idle");
        }
    }
}

std::string Simulator::Impl::Garbage()
{
    // Random bytes that cannot pass for an answer: no '|' anywhere, and the
    // first byte is neither '+' nor '-'.
    std::uniform_int_distribution<int> length(8, 48);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string out;
    int n = length(rng_);
    while (static_cast<int>(out.size()) < n) {
        char b = static_cast<char>(byte(rng_));
        if (b == '|' || (out.empty() && (b == '+' || b == '-'))) {
            continue;
        }
        out += b;
    }
    return out;
}

// ---------------------------------------------------------------- control channel

void Simulator::Impl::AcceptControl()
{
    for (;;) {
        std::string peer;
        UniqueFd fd = AcceptTcp(controlListener_.Get(), &peer);
        if (!fd.Valid()) {
            int err = errno;
            if (AcceptRetryable(err)) {
                continue;
            }
            if (AcceptShouldPause(err)) {
                log_.Line(std::string("CONTROL accept failed: ") + std::strerror(err) + ", pausing");
                controlPausedUntil_ = Clock::now() + Millis(kAcceptPauseMs);
            } else if (err != EAGAIN && err != EWOULDBLOCK) {
                log_.Line(std::string("CONTROL accept failed: ") + std::strerror(err));
            }
            return;
        }
        if (control_.size() >= kMaxControlConns) {
            log_.Line("CONTROL connection refused " + peer + " (limit reached)");
            continue;
        }
        std::uint64_t id = nextId_++;
        ControlConn c;
        c.fd = std::move(fd);
        c.peer = peer;
        c.source.kind = SourceKind::Tcp;
        c.source.connId = id;
        control_.emplace(id, std::move(c));
        log_.Line("CONTROL connection from " + peer + " #" + std::to_string(id));
    }
}

void Simulator::Impl::ReadControl(std::uint64_t id, ControlConn& c)
{
    char buf[4096];
    for (int i = 0; i < kReadsPerWakeup; ++i) {
        if (c.source.lines.size() >= kMaxPendingLines) {
            return;  // read on once the backlog has been worked off
        }
        ssize_t n = ::recv(c.fd.Get(), buf, sizeof buf, 0);
        if (n > 0) {
            Feed(c.source, std::string_view(buf, static_cast<std::size_t>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n < 0) {
            log_.Line("CONTROL connection #" + std::to_string(id) + " read error: " + std::strerror(errno));
            c.dead = true;
            return;
        }
        // The client may send its commands and shut down its side; they
        // still run and get their replies before the connection closes.
        c.inputClosed = true;
        EndOfInput(c.source);
        return;
    }
}

void Simulator::Impl::FlushControl(ControlConn& c)
{
    long n = SendSome(c.fd.Get(), c.queued.data(), c.queued.size());
    if (n < 0) {
        log_.Line("CONTROL connection #" + std::to_string(c.source.connId) + " send error: " + std::strerror(errno));
        c.dead = true;
        return;
    }
    c.queued.erase(0, static_cast<std::size_t>(n));
}

void Simulator::Impl::ReadStdin()
{
    char buf[4096];
    ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n > 0) {
        Feed(*stdin_, std::string_view(buf, static_cast<std::size_t>(n)));
        return;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    stdinOpen_ = false;
    EndOfInput(*stdin_);
    log_.Line(n == 0 ? "CONTROL stdin closed; still serving"
                     : std::string("CONTROL stdin read error: ") + std::strerror(errno));
}

void Simulator::Impl::Feed(CommandSource& src, std::string_view data)
{
    while (!data.empty()) {
        std::size_t nl = data.find('\n');
        std::string_view piece = data.substr(0, nl);
        if (!src.skippingLongLine) {
            if (src.partial.size() + piece.size() > kMaxControlLine) {
                src.partial.clear();
                src.skippingLongLine = true;
            } else {
                src.partial.append(piece);
            }
        }
        if (nl == std::string_view::npos) {
            return;
        }
        data.remove_prefix(nl + 1);
        ++src.linesSeen;
        if (src.skippingLongLine) {
            src.skippingLongLine = false;
            src.partial.clear();
            src.currentLine = src.linesSeen;
            Reply(src, "err line too long (limit " + std::to_string(kMaxControlLine) + " bytes)");
            continue;
        }
        src.lines.emplace_back(src.linesSeen, std::move(src.partial));
        src.partial.clear();
    }
}

void Simulator::Impl::EndOfInput(CommandSource& src)
{
    if (!src.partial.empty() && !src.skippingLongLine) {
        src.lines.emplace_back(++src.linesSeen, std::move(src.partial));
    }
    src.partial.clear();
    src.skippingLongLine = false;
}

void Simulator::Impl::PumpSources()
{
    if (stdin_) {
        RunSource(*stdin_);
    }
    if (script_) {
        RunSource(*script_);
        if (!scriptDoneLogged_ && script_->lines.empty() && !script_->pending) {
            scriptDoneLogged_ = true;
            log_.Line("SCRIPT finished");
        }
    }
    for (auto& [id, c] : control_) {
        if (!c.dead) {
            RunSource(c.source);
        }
    }
}

void Simulator::Impl::RunSource(CommandSource& src)
{
    while (!quit_) {
        if (src.pending && !ResolvePending(src)) {
            return;
        }
        if (src.lines.empty()) {
            return;
        }
        auto [lineNo, text] = std::move(src.lines.front());
        src.lines.pop_front();
        ExecuteLine(src, lineNo, text);
    }
}

bool Simulator::Impl::ResolvePending(CommandSource& src)
{
    const Pending& p = *src.pending;
    TimePoint now = Clock::now();
    std::size_t clients = LiveCtiClients();
    std::string reply;
    if (p.waitClients && clients >= p.clients) {
        reply = "ok clients=" + std::to_string(clients);
    } else if (p.deadline && now >= *p.deadline) {
        reply = p.waitClients ? "timeout clients=" + std::to_string(clients) : std::string("ok");
    } else {
        return false;
    }
    src.pending.reset();
    Reply(src, reply);
    return true;
}

void Simulator::Impl::ExecuteLine(CommandSource& src, int lineNo, const std::string& raw)
{
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') {
        return;
    }
    src.currentLine = lineNo;
    log_.Line("CONTROL " + src.Label() + " command " + Quoted(line, kDataPreviewBytes));
    std::optional<std::string> reply = Execute(src, line);
    if (reply) {
        Reply(src, *reply);
    }
}

std::optional<std::string> Simulator::Impl::Execute(CommandSource& src, std::string_view line)
{
    std::vector<std::string_view> words = SplitWords(line);
    std::string_view cmd = words[0];
    auto argCount = words.size() - 1;

    if (cmd == "event") {
        std::string_view text = RestAfterFirstWord(line);
        if (text.empty()) {
            return "err usage: event <text>";
        }
        std::string err;
        auto bytes = Unescape(text, &err);
        if (!bytes) {
            return "err bad escape: " + err;
        }
        std::size_t n = Broadcast(*bytes, "event");
        return "ok sent to " + std::to_string(n) + " client(s)";
    }
    if (cmd == "bye") {
        if (argCount != 0) {
            return std::string("err usage: bye");
        }
        std::size_t n = Broadcast("bye", "bye");
        return "ok bye sent to " + std::to_string(n) + " client(s)";
    }
    if (cmd == "drop") {
        if (argCount != 0) {
            return std::string("err usage: drop");
        }
        return "ok dropped " + std::to_string(DropCtiClients()) + " client(s)";
    }
    if (cmd == "cti") {
        if (argCount == 1 && words[1] == "down") {
            if (!ctiListener_.Valid()) {
                return std::string("ok cti already down");
            }
            ctiListener_.Reset();
            log_.Line("CTI listener down (port " + std::to_string(ctiPort) + ")");
            return std::string("ok cti down");
        }
        if (argCount == 1 && words[1] == "up") {
            if (ctiListener_.Valid()) {
                return std::string("ok cti already up");
            }
            std::string err;
            int port = 0;
            ctiListener_ = ListenTcp(options_.bind, ctiPort, &port, &err);
            if (!ctiListener_.Valid()) {
                log_.Line("CTI listener up failed: " + err);
                return "err " + err;
            }
            log_.Line("CTI listener up (port " + std::to_string(ctiPort) + ")");
            return std::string("ok cti up");
        }
        return std::string("err usage: cti down|up");
    }
    if (cmd == "fault") {
        std::string err;
        auto rule = ParseFaultRule(std::vector<std::string_view>(words.begin() + 1, words.end()), &err);
        if (!rule) {
            return "err " + err;
        }
        std::string what = rule->word + " " + DescribeFault(rule->fault);
        faults_.Set(std::move(*rule));
        log_.Line("FAULT set " + what + " (now: " + faults_.Describe() + ")");
        return "ok fault " + what;
    }
    if (cmd == "forced") {
        if (argCount != 2) {
            return std::string("err usage: forced <userid> <profileid|none>");
        }
        auto uid = ParseInt(words[1], 0, kMaxId);
        User* u = uid ? users_.FindById(*uid) : nullptr;
        if (!u) {
            return "err unknown user " + std::string(words[1]);
        }
        if (words[2] == "none") {
            u->forced.reset();
        } else {
            auto pid = ParseInt(words[2], 0, kMaxId);
            if (!pid) {
                return "err bad profile id " + std::string(words[2]);
            }
            u->forced = *pid;
        }
        std::string what = "user " + std::to_string(u->id) + " forced "
                           + (u->forced ? std::to_string(*u->forced) : std::string("none"));
        log_.Line("STATE " + what);
        return "ok " + what;
    }
    if (cmd == "status") {
        return Status();
    }
    if (cmd == "wait-clients") {
        if (argCount < 1 || argCount > 2) {
            return std::string("err usage: wait-clients <n> [timeout-ms]");
        }
        auto n = ParseInt(words[1], 0, 1000000);
        if (!n) {
            return "err bad count " + std::string(words[1]);
        }
        Pending p;
        p.waitClients = true;
        p.clients = static_cast<std::size_t>(*n);
        if (argCount == 2) {
            auto ms = ParseInt(words[2], 0, 24LL * 3600 * 1000);
            if (!ms) {
                return "err bad timeout " + std::string(words[2]);
            }
            p.deadline = Clock::now() + Millis(*ms);
        }
        src.pending = p;
        return std::nullopt;
    }
    if (cmd == "sleep") {
        auto ms = argCount == 1 ? ParseInt(words[1], 0, 24LL * 3600 * 1000) : std::nullopt;
        if (!ms) {
            return std::string("err usage: sleep <ms>");
        }
        Pending p;
        p.deadline = Clock::now() + Millis(*ms);
        src.pending = p;
        return std::nullopt;
    }
    if (cmd == "log") {
        log_.Line("NOTE " + std::string(RestAfterFirstWord(line)));
        return std::string("ok");
    }
    if (cmd == "help") {
        return std::string("ok commands: event <text> | bye | drop | cti down|up | fault <word|*> <mode> [args] [once]"
                           " | forced <uid> <id|none> | status | wait-clients <n> [ms] | sleep <ms> | log <text>"
                           " | quit");
    }
    if (cmd == "quit") {
        quit_ = true;
        return std::string("ok quitting");
    }
    return "err unknown command " + std::string(cmd);
}

void Simulator::Impl::Reply(CommandSource& src, const std::string& text)
{
    log_.Line("CONTROL " + src.Label() + " reply " + Quoted(text, kDataPreviewBytes));
    switch (src.kind) {
    case SourceKind::Script:
        return;
    case SourceKind::Stdin: {
        std::string line = text + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
        return;
    }
    case SourceKind::Tcp: {
        auto it = control_.find(src.connId);
        if (it == control_.end() || it->second.dead) {
            return;
        }
        ControlConn& c = it->second;
        if (c.queued.size() + text.size() + 1 > kMaxControlQueued) {
            log_.Line("CONTROL connection #" + std::to_string(src.connId) + " does not read its replies; closing");
            c.dead = true;
            return;
        }
        c.queued += text;
        c.queued += '\n';
        FlushControl(c);
        return;
    }
    }
}

std::string Simulator::Impl::Status() const
{
    return "ok cti=" + std::string(ctiListener_.Valid() ? "up" : "down") + " cti_clients="
           + std::to_string(LiveCtiClients()) + " relay_open=" + std::to_string(LiveRelayConns())
           + " relay_requests=" + std::to_string(relayRequests_) + " events_sent=" + std::to_string(eventsSent_)
           + " control_clients=" + std::to_string(control_.size()) + " faults=" + faults_.Describe();
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
    return impl_->ctiPort;
}

int Simulator::RelayPort() const
{
    return impl_->relayPort;
}

int Simulator::ControlPort() const
{
    return impl_->controlPort;
}

int Simulator::Run()
{
    return impl_->Run();
}

} // namespace tsgsim
