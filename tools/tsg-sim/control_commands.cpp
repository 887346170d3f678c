#include "control_commands.h"

#include <vector>

#include "text.h"

namespace tsgsim {

namespace {

constexpr long long kMaxWaitMs = 24LL * 3600 * 1000;

CommandResult Reply(std::string text)
{
    return {std::move(text), std::nullopt};
}

CommandResult Wait(Pending pending)
{
    return {std::nullopt, pending};
}

} // namespace

struct ControlCommands::Args {
    std::string_view line;
    std::vector<std::string_view> words;  // words[0] is the command
    TimePoint now;

    std::size_t Count() const { return words.size() - 1; }
};

// A new control command is a row here and a member function.
const ControlCommands::Command ControlCommands::kCommands[] = {
    {"event", &ControlCommands::Event},
    {"bye", &ControlCommands::Bye},
    {"drop", &ControlCommands::Drop},
    {"cti", &ControlCommands::Cti},
    {"relay", &ControlCommands::Relay},
    {"fault", &ControlCommands::SetFault},
    {"forced", &ControlCommands::Forced},
    {"status", &ControlCommands::Status},
    {"wait-clients", &ControlCommands::WaitClients},
    {"sleep", &ControlCommands::Sleep},
    {"log", &ControlCommands::Log},
    {"help", &ControlCommands::Help},
    {"quit", &ControlCommands::Quit},
};

ControlCommands::ControlCommands(ControlHost& host, UserDb& users, FaultTable& faults, Logger& log)
    : host_(host), users_(users), faults_(faults), log_(log)
{
}

CommandResult ControlCommands::Execute(std::string_view line, TimePoint now)
{
    Args args{line, SplitWords(line), now};
    for (const auto& command : kCommands) {
        if (command.name == args.words[0]) {
            return (this->*command.handler)(args);
        }
    }
    return Reply("err unknown command " + std::string(args.words[0]));
}

std::optional<std::string> ControlCommands::Resolve(const Pending& p, TimePoint now) const
{
    std::size_t clients = host_.Counts().ctiClients;
    if (p.waitClients && clients >= p.clients) {
        return "ok clients=" + std::to_string(clients);
    }
    if (p.deadline && now >= *p.deadline) {
        return p.waitClients ? "timeout clients=" + std::to_string(clients) : std::string("ok");
    }
    return std::nullopt;
}

CommandResult ControlCommands::Event(const Args& args)
{
    std::string_view text = RestAfterFirstWord(args.line);
    if (text.empty()) {
        return Reply("err usage: event <text>");
    }
    std::string err;
    auto bytes = Unescape(text, &err);
    if (!bytes) {
        return Reply("err bad escape: " + err);
    }
    return Reply("ok sent to " + std::to_string(host_.Broadcast(*bytes, "event")) + " client(s)");
}

CommandResult ControlCommands::Bye(const Args& args)
{
    if (args.Count() != 0) {
        return Reply("err usage: bye");
    }
    return Reply("ok bye sent to " + std::to_string(host_.Broadcast("bye", "bye")) + " client(s)");
}

CommandResult ControlCommands::Drop(const Args& args)
{
    if (args.Count() != 0) {
        return Reply("err usage: drop");
    }
    return Reply("ok dropped " + std::to_string(host_.DropCtiClients()) + " client(s)");
}

CommandResult ControlCommands::Cti(const Args& args)
{
    bool listening = host_.Counts().ctiListening;
    if (args.Count() == 1 && args.words[1] == "down") {
        if (!listening) {
            return Reply("ok cti already down");
        }
        host_.StopCtiListener();
        return Reply("ok cti down");
    }
    if (args.Count() == 1 && args.words[1] == "up") {
        if (listening) {
            return Reply("ok cti already up");
        }
        std::string err;
        if (!host_.StartCtiListener(&err)) {
            return Reply("err " + err);
        }
        return Reply("ok cti up");
    }
    return Reply("err usage: cti down|up");
}

CommandResult ControlCommands::Relay(const Args& args)
{
    if (args.Count() != 1 || (args.words[1] != "stall" && args.words[1] != "up")) {
        return Reply("err usage: relay stall|up");
    }
    std::string err;
    if (!host_.SetRelayStalled(args.words[1] == "stall", &err)) {
        return Reply("err " + err);
    }
    return Reply("ok relay " + std::string(args.words[1]));
}

CommandResult ControlCommands::SetFault(const Args& args)
{
    std::string err;
    auto rule = ParseFaultRule(std::vector<std::string_view>(args.words.begin() + 1, args.words.end()), &err);
    if (!rule) {
        return Reply("err " + err);
    }
    std::string what = rule->word + " " + DescribeFault(rule->fault);
    faults_.Set(std::move(*rule));
    log_.Line("FAULT set " + what + " (now: " + faults_.Describe() + ")");
    return Reply("ok fault " + what);
}

CommandResult ControlCommands::Forced(const Args& args)
{
    if (args.Count() != 2) {
        return Reply("err usage: forced <userid> <profileid|none>");
    }
    auto uid = ParseInt(args.words[1], 0, kMaxId);
    User* u = uid ? users_.FindById(*uid) : nullptr;
    if (!u) {
        return Reply("err unknown user " + std::string(args.words[1]));
    }
    if (args.words[2] == "none") {
        u->forced.reset();
    } else {
        auto pid = ParseInt(args.words[2], 0, kMaxId);
        if (!pid) {
            return Reply("err bad profile id " + std::string(args.words[2]));
        }
        u->forced = *pid;
    }
    std::string what = "user " + std::to_string(u->id) + " forced "
                       + (u->forced ? std::to_string(*u->forced) : std::string("none"));
    log_.Line("STATE " + what);
    return Reply("ok " + what);
}

CommandResult ControlCommands::Status(const Args&)
{
    ServerCounts c = host_.Counts();
    return Reply("ok cti=" + std::string(c.ctiListening ? "up" : "down") + " cti_clients="
                 + std::to_string(c.ctiClients) + " relay_open=" + std::to_string(c.relayOpen)
                 + " relay_requests=" + std::to_string(c.relayRequests) + " events_sent="
                 + std::to_string(c.eventsSent) + " control_clients=" + std::to_string(c.controlClients)
                 + " faults=" + faults_.Describe());
}

CommandResult ControlCommands::WaitClients(const Args& args)
{
    if (args.Count() < 1 || args.Count() > 2) {
        return Reply("err usage: wait-clients <n> [timeout-ms]");
    }
    auto n = ParseInt(args.words[1], 0, 1000000);
    if (!n) {
        return Reply("err bad count " + std::string(args.words[1]));
    }
    Pending p;
    p.waitClients = true;
    p.clients = static_cast<std::size_t>(*n);
    if (args.Count() == 2) {
        auto ms = ParseInt(args.words[2], 0, kMaxWaitMs);
        if (!ms) {
            return Reply("err bad timeout " + std::string(args.words[2]));
        }
        p.deadline = args.now + Millis(*ms);
    }
    return Wait(p);
}

CommandResult ControlCommands::Sleep(const Args& args)
{
    auto ms = args.Count() == 1 ? ParseInt(args.words[1], 0, kMaxWaitMs) : std::nullopt;
    if (!ms) {
        return Reply("err usage: sleep <ms>");
    }
    Pending p;
    p.deadline = args.now + Millis(*ms);
    return Wait(p);
}

CommandResult ControlCommands::Log(const Args& args)
{
    log_.Line("NOTE " + std::string(RestAfterFirstWord(args.line)));
    return Reply("ok");
}

CommandResult ControlCommands::Help(const Args&)
{
    return Reply("ok commands: event <text> | bye | drop | cti down|up | relay stall|up | fault <word|*> <mode> [args] [once]"
                 " | forced <uid> <id|none> | status | wait-clients <n> [ms] | sleep <ms> | log <text>"
                 " | quit");
}

CommandResult ControlCommands::Quit(const Args&)
{
    quit_ = true;
    return Reply("ok quitting");
}

} // namespace tsgsim
