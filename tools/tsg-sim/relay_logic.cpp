#include "relay_logic.h"

#include <vector>

#include "text.h"

namespace tsgsim {

namespace {

const char* const kUnknownUser = "-ERR|unknown user";
const char* const kUnknownProfile = "-ERR|unknown profile";
const char* const kBadRequest = "-ERR|bad request";

User* LookUpUser(UserDb& users, std::string_view idText)
{
    auto id = ParseInt(idText, 0, kMaxId);
    return id ? users.FindById(*id) : nullptr;
}

RelayReply Login(UserDb& users, std::string_view request)
{
    // CTILOGIN|name|password: the password is everything after the second
    // bar, so a bar inside it is kept rather than lost.
    std::size_t first = request.find('|');
    std::size_t second = request.find('|', first + 1);
    if (second == std::string_view::npos) {
        return {kBadRequest, {}};
    }
    std::string_view name = request.substr(first + 1, second - first - 1);
    std::string_view password = request.substr(second + 1);
    const User* u = users.FindByName(name);
    if (!u) {
        return {"-ERR|unknown user", {}};
    }
    if (u->password != password) {
        return {"-ERR|wrong password", {}};
    }
    return {"+OK|" + std::to_string(u->id) + "|" + std::to_string(u->parentId), {}};
}

std::string Devices(const User& u)
{
    std::string answer = "+OK|" + std::to_string(u.deviceMode);
    for (const auto& d : u.devices) {
        answer += "|" + d.field + "|" + d.number;
    }
    return answer;
}

std::string Profiles(const User& u)
{
    std::string answer = "+OK";
    for (const auto& p : u.profiles) {
        answer += "|" + std::to_string(p.id) + "|" + p.name;
    }
    return answer;
}

} // namespace

std::string_view CommandWord(std::string_view request)
{
    return request.substr(0, request.find('|'));
}

RelayReply AnswerRelayRequest(UserDb& users, std::string_view request)
{
    std::string_view word = CommandWord(request);
    if (word == "CTILOGIN") {
        return Login(users, request);
    }

    std::vector<std::string_view> fields = SplitFields(request, '|');
    // The client sends the release at exit with a trailing bar; accept one
    // trailing bar on every command rather than only there.
    if (fields.size() > 1 && fields.back().empty()) {
        fields.pop_back();
    }

    if (word == "GETDEVICES" || word == "GETPROFILELIST" || word == "GETACTIVEFORCEDPROFILE"
        || word == "CLEARFORCEDPROFILE") {
        if (fields.size() != 2) {
            return {kBadRequest, {}};
        }
        User* u = LookUpUser(users, fields[1]);
        if (!u) {
            return {kUnknownUser, {}};
        }
        if (word == "GETDEVICES") {
            return {Devices(*u), {}};
        }
        if (word == "GETPROFILELIST") {
            return {Profiles(*u), {}};
        }
        if (word == "GETACTIVEFORCEDPROFILE") {
            return {u->forced ? "+OK|" + std::to_string(*u->forced) : std::string("+OK"), {}};
        }
        u->forced.reset();
        return {"+OK", "user " + std::to_string(u->id) + ": forced profile cleared"};
    }

    if (word == "FORCEPROFILE") {
        if (fields.size() != 3) {
            return {kBadRequest, {}};
        }
        User* u = LookUpUser(users, fields[1]);
        if (!u) {
            return {kUnknownUser, {}};
        }
        auto pid = ParseInt(fields[2], 0, kMaxId);
        if (!pid || !u->FindProfile(*pid)) {
            return {kUnknownProfile, {}};
        }
        u->forced = *pid;
        return {"+OK", "user " + std::to_string(u->id) + ": profile " + std::to_string(*pid) + " forced"};
    }

    if (word == "QUICKCALL") {
        if (fields.size() != 4) {
            return {kBadRequest, {}};
        }
        User* u = LookUpUser(users, fields[3]);
        if (!u) {
            return {kUnknownUser, {}};
        }
        return {"+OK", "QUICKCALL caller \"" + EscapeBytes(fields[1]) + "\" called \"" + EscapeBytes(fields[2])
                           + "\" user " + std::to_string(u->id)};
    }

    return {"-ERR|unknown command", {}};
}

} // namespace tsgsim
