#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "unique_fd.h"

namespace tsgsim {

// Non-blocking IPv4 listening socket on address:port (port 0 = any free
// port). *actualPort receives the bound port.
UniqueFd ListenTcp(const std::string& address, int port, int* actualPort, std::string* error, int backlog = 128);

// Starts a non-blocking connect to address:port and returns the socket
// (invalid when it could not even start).
UniqueFd ConnectTcp(const std::string& address, int port);

// Accepts one connection (non-blocking, close-on-exec); *peer gets "a.b.c.d:port".
// Returns an invalid fd and leaves errno set when nothing could be accepted.
UniqueFd AcceptTcp(int listenFd, std::string* peer);

bool IsValidIpv4(const std::string& address);

// One send() with MSG_NOSIGNAL; returns bytes sent, 0 when the socket would
// block, -1 on a hard error.
long SendSome(int fd, const char* data, std::size_t size);

enum class ReadEnd {
    Again,    // nothing more to read for now
    Eof,      // the peer ended its sending side
    Error,    // errno tells
    Paused,   // enough for one wake-up: the limit was reached or onData said stop
};

// Reads what is waiting, at most maxReads recv() calls, and hands each
// chunk to onData, which returns whether to go on.
ReadEnd ReadAvailable(int fd, int maxReads, const std::function<bool(std::string_view)>& onData);

} // namespace tsgsim
