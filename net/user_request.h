// A relay request of the user: "COMMAND|<user id><rest>". The user id is
// filled in when the line goes out, after the blocking connect, so that a
// login made meanwhile is not answered with the previous user's request.
#pragma once

#include <string>

struct UserRequest {
  std::string command;
  // What follows the user id, its leading bar included ("" for none).
  std::string rest;

  std::string For(int userId) const { return command + "|" + std::to_string(userId) + rest; }
  // "COMMAND|<user id>|<profile>".
  static UserRequest ForProfile(std::string command, const std::string& profile) {
    std::string rest(1, '|');
    rest += profile;
    return UserRequest{std::move(command), std::move(rest)};
  }
  friend bool operator==(const UserRequest&, const UserRequest&) = default;
};
