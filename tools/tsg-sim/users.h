#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tsgsim {

struct Profile {
    long long id = 0;
    std::string name;
};

struct Device {
    std::string field;   // first field of the pair in the device answer
    std::string number;  // the device itself
};

struct User {
    std::string name;
    std::string password;
    long long id = 0;
    long long parentId = 0;
    long long deviceMode = 1;
    std::vector<Profile> profiles;
    std::vector<Device> devices;
    std::optional<long long> forced;  // profile forced at the moment

    const Profile* FindProfile(long long profileId) const;
};

// The users the simulated server knows, with their profiles, devices and
// the forced profile of each (the only state that changes while running).
class UserDb {
public:
    // Parses the users file format (see README.md). On failure returns
    // nullopt and sets *error to "line N: reason".
    static std::optional<UserDb> Parse(std::string_view text, std::string* error);
    static std::optional<UserDb> Load(const std::string& path, std::string* error);

    User* FindById(long long id);
    const User* FindById(long long id) const;
    const User* FindByName(std::string_view name) const;
    const std::vector<User>& Users() const { return users_; }

private:
    std::vector<User> users_;
};

// Largest id (user, parent, profile) the file accepts: the client keeps them in an int.
constexpr long long kMaxId = 2147483647LL;

} // namespace tsgsim
