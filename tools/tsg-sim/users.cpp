#include "users.h"

#include <filesystem>
#include <fstream>

#include "text.h"

namespace tsgsim {

namespace {

// Fields of the relay answers are separated by '|' and the request line ends
// at a zero byte; names containing either would make answers that no client
// could split, so the file rejects them.
bool IsAnswerSafe(std::string_view text)
{
    return text.find('|') == std::string_view::npos && text.find('\0') == std::string_view::npos;
}

} // namespace

const Profile* User::FindProfile(long long profileId) const
{
    for (const auto& p : profiles) {
        if (p.id == profileId) {
            return &p;
        }
    }
    return nullptr;
}

User* UserDb::FindById(long long id)
{
    for (auto& u : users_) {
        if (u.id == id) {
            return &u;
        }
    }
    return nullptr;
}

const User* UserDb::FindById(long long id) const
{
    for (const auto& u : users_) {
        if (u.id == id) {
            return &u;
        }
    }
    return nullptr;
}

const User* UserDb::FindByName(std::string_view name) const
{
    for (const auto& u : users_) {
        if (u.name == name) {
            return &u;
        }
    }
    return nullptr;
}

std::optional<UserDb> UserDb::Parse(std::string_view text, std::string* error)
{
    UserDb db;
    int lineNo = 0;
    std::string reason;

    auto fail = [&](const std::string& why) -> std::optional<UserDb> {
        if (error) {
            *error = "line " + std::to_string(lineNo) + ": " + why;
        }
        return std::nullopt;
    };
    // Text fields may use the escapes of event texts, e.g. B\xFCro.
    auto textField = [&](std::string_view raw, const char* what, std::string* out) -> bool {
        std::string err;
        auto value = Unescape(raw, &err);
        if (!value) {
            reason = std::string(what) + ": " + err;
            return false;
        }
        if (!IsAnswerSafe(*value)) {
            reason = std::string(what) + " must not contain '|' or a zero byte";
            return false;
        }
        *out = std::move(*value);
        return true;
    };
    auto userOf = [&](std::string_view raw) -> User* {
        auto id = ParseInt(raw, 0, kMaxId);
        if (!id) {
            reason = "bad user id '" + std::string(raw) + "'";
            return nullptr;
        }
        User* u = db.FindById(*id);
        if (!u) {
            reason = "user id " + std::to_string(*id) + " has no user line above";
        }
        return u;
    };

    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        auto words = SplitWords(line);
        std::string_view kind = words[0];

        if (kind == "user") {
            if (words.size() != 5) {
                return fail("expected: user <name> <password> <userid> <parentid>");
            }
            User u;
            if (!textField(words[1], "name", &u.name) || !textField(words[2], "password", &u.password)) {
                return fail(reason);
            }
            auto id = ParseInt(words[3], 1, kMaxId);
            auto parent = ParseInt(words[4], 0, kMaxId);
            if (!id) {
                return fail("bad user id '" + std::string(words[3]) + "' (1.." + std::to_string(kMaxId) + ")");
            }
            if (!parent) {
                return fail("bad parent id '" + std::string(words[4]) + "' (0.." + std::to_string(kMaxId) + ")");
            }
            if (db.FindById(*id)) {
                return fail("duplicate user id " + std::to_string(*id));
            }
            if (db.FindByName(u.name)) {
                return fail("duplicate user name '" + std::string(words[1]) + "'");
            }
            u.id = *id;
            u.parentId = *parent;
            db.users_.push_back(std::move(u));
        } else if (kind == "profile") {
            if (words.size() < 4) {
                return fail("expected: profile <userid> <profileid> <name...>");
            }
            User* u = userOf(words[1]);
            if (!u) {
                return fail(reason);
            }
            auto pid = ParseInt(words[2], 0, kMaxId);
            if (!pid) {
                return fail("bad profile id '" + std::string(words[2]) + "'");
            }
            if (u->FindProfile(*pid)) {
                return fail("duplicate profile id " + std::to_string(*pid));
            }
            // The name is the rest of the line after the id, inner blanks kept.
            std::string_view rest = RestAfterFirstWord(RestAfterFirstWord(RestAfterFirstWord(line)));
            Profile p;
            p.id = *pid;
            if (!textField(rest, "profile name", &p.name)) {
                return fail(reason);
            }
            u->profiles.push_back(std::move(p));
        } else if (kind == "device") {
            if (words.size() != 3 && words.size() != 4) {
                return fail("expected: device <userid> [<field>] <number>");
            }
            User* u = userOf(words[1]);
            if (!u) {
                return fail(reason);
            }
            Device d;
            d.field = "d";
            if (words.size() == 4 && !textField(words[2], "device field", &d.field)) {
                return fail(reason);
            }
            if (!textField(words.back(), "device", &d.number)) {
                return fail(reason);
            }
            if (d.number.empty()) {
                return fail("empty device");
            }
            u->devices.push_back(std::move(d));
        } else if (kind == "devicemode") {
            if (words.size() != 3) {
                return fail("expected: devicemode <userid> <n>");
            }
            User* u = userOf(words[1]);
            if (!u) {
                return fail(reason);
            }
            auto mode = ParseInt(words[2], 0, kMaxId);
            if (!mode) {
                return fail("bad device mode '" + std::string(words[2]) + "'");
            }
            u->deviceMode = *mode;
        } else if (kind == "forced") {
            if (words.size() != 3) {
                return fail("expected: forced <userid> <profileid|none>");
            }
            User* u = userOf(words[1]);
            if (!u) {
                return fail(reason);
            }
            if (words[2] == "none") {
                u->forced.reset();
            } else {
                // Deliberately not checked against the profile list: a forced
                // profile the client does not know is a case worth testing.
                auto pid = ParseInt(words[2], 0, kMaxId);
                if (!pid) {
                    return fail("bad profile id '" + std::string(words[2]) + "'");
                }
                u->forced = *pid;
            }
        } else {
            return fail("unknown keyword '" + std::string(kind) + "'");
        }
    }
    return db;
}

std::optional<UserDb> UserDb::Load(const std::string& path, std::string* error)
{
    // A users file is a few lines; anything beyond this is a wrong path.
    constexpr std::size_t kMaxFileBytes = 16u << 20;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        if (error) {
            *error = "cannot open " + path + " (not a regular file)";
        }
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) {
            *error = "cannot open " + path;
        }
        return std::nullopt;
    }
    std::string content;
    char chunk[8192];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        content.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (content.size() > kMaxFileBytes) {
            if (error) {
                *error = path + ": file too large";
            }
            return std::nullopt;
        }
    }
    std::string parseError;
    auto db = Parse(content, &parseError);
    if (!db && error) {
        *error = path + ": " + parseError;
    }
    return db;
}

} // namespace tsgsim
