#include "relay_logic.h"

#include <algorithm>
#include <vector>

#include "text.h"

namespace tsgsim {

namespace {

const char* const kBadRequest = "-ERR|bad request";
const char* const kUnknownUser = "-ERR|unknown user";

struct Request {
    UserDb& users;
    std::string_view text;                 // the whole request
    std::vector<std::string_view> fields;  // split at '|', one trailing empty field dropped
    User* user;                            // the user the request names, when the command has one
};

using Answer = RelayReply (*)(Request&);

// One relay command. A new command, or a new way to answer one, is a row here.
struct RelayCommand {
    std::string_view word;
    std::size_t fields;          // fields with the word; 0: the answer checks the request itself
    std::size_t userField;       // field holding the user id; 0: none
    std::size_t barsWithoutZero; // sent without zero byte: complete with this many bars; 0: waits for its zero byte
    Answer answer;
};

RelayReply Login(Request& r)
{
    // CTILOGIN|name|password: the password is everything after the second
    // bar, so a bar inside it is kept rather than lost.
    std::size_t first = r.text.find('|');
    std::size_t second = r.text.find('|', first + 1);
    if (second == std::string_view::npos) {
        return {kBadRequest, {}};
    }
    const User* u = r.users.FindByName(r.text.substr(first + 1, second - first - 1));
    if (!u) {
        return {kUnknownUser, {}};
    }
    if (u->password != r.text.substr(second + 1)) {
        return {"-ERR|wrong password", {}};
    }
    return {"+OK|" + std::to_string(u->id) + "|" + std::to_string(u->parentId), {}};
}

RelayReply Devices(Request& r)
{
    std::string answer = "+OK|" + std::to_string(r.user->deviceMode);
    for (const auto& d : r.user->devices) {
        answer += "|" + d.field + "|" + d.number;
    }
    return {answer, {}};
}

RelayReply Profiles(Request& r)
{
    std::string answer = "+OK";
    for (const auto& p : r.user->profiles) {
        answer += "|" + std::to_string(p.id) + "|" + p.name;
    }
    return {answer, {}};
}

RelayReply ActiveForced(Request& r)
{
    const auto& forced = r.user->forced;
    return {forced ? "+OK|" + std::to_string(*forced) : std::string("+OK"), {}};
}

RelayReply Force(Request& r)
{
    auto pid = ParseInt(r.fields[2], 0, kMaxId);
    if (!pid || !r.user->FindProfile(*pid)) {
        return {"-ERR|unknown profile", {}};
    }
    r.user->forced = *pid;
    return {"+OK", "user " + std::to_string(r.user->id) + ": profile " + std::to_string(*pid) + " forced"};
}

RelayReply ClearForced(Request& r)
{
    r.user->forced.reset();
    return {"+OK", "user " + std::to_string(r.user->id) + ": forced profile cleared"};
}

RelayReply QuickCall(Request& r)
{
    return {"+OK", "QUICKCALL caller \"" + EscapeBytes(r.fields[1]) + "\" called \"" + EscapeBytes(r.fields[2])
                       + "\" user " + std::to_string(r.user->id)};
}

constexpr RelayCommand kCommands[] = {
    {"CTILOGIN", 0, 0, 2, Login},
    {"GETDEVICES", 2, 1, 0, Devices},
    {"GETPROFILELIST", 2, 1, 0, Profiles},
    {"GETACTIVEFORCEDPROFILE", 2, 1, 0, ActiveForced},
    {"FORCEPROFILE", 3, 1, 0, Force},
    {"CLEARFORCEDPROFILE", 2, 1, 0, ClearForced},
    {"QUICKCALL", 4, 3, 0, QuickCall},
};

const RelayCommand* FindCommand(std::string_view word)
{
    for (const auto& c : kCommands) {
        if (c.word == word) {
            return &c;
        }
    }
    return nullptr;
}

} // namespace

std::string_view CommandWord(std::string_view request)
{
    return request.substr(0, request.find('|'));
}

bool CompleteWithoutZero(std::string_view request)
{
    const RelayCommand* c = FindCommand(CommandWord(request));
    return c && c->barsWithoutZero > 0
           && static_cast<std::size_t>(std::count(request.begin(), request.end(), '|')) >= c->barsWithoutZero;
}

RelayReply AnswerRelayRequest(UserDb& users, std::string_view request)
{
    const RelayCommand* command = FindCommand(CommandWord(request));
    if (!command) {
        return {"-ERR|unknown command", {}};
    }
    Request r{users, request, SplitFields(request, '|'), nullptr};
    // The client sends the release at exit with a trailing bar; accept one
    // trailing bar on every command rather than only there.
    if (r.fields.size() > 1 && r.fields.back().empty()) {
        r.fields.pop_back();
    }
    if (command->fields != 0 && r.fields.size() != command->fields) {
        return {kBadRequest, {}};
    }
    if (command->userField != 0) {
        auto id = ParseInt(r.fields[command->userField], 0, kMaxId);
        r.user = id ? users.FindById(*id) : nullptr;
        if (!r.user) {
            return {kUnknownUser, {}};
        }
    }
    return command->answer(r);
}

} // namespace tsgsim
