#include "net.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace tsgsim {

bool IsValidIpv4(const std::string& address)
{
    in_addr addr{};
    return inet_pton(AF_INET, address.c_str(), &addr) == 1;
}

UniqueFd ListenTcp(const std::string& address, int port, int* actualPort, std::string* error, int backlog)
{
    auto fail = [&](const char* what) {
        if (error) {
            *error = std::string(what) + " " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        }
        return UniqueFd();
    };
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
        if (error) {
            *error = "not an IPv4 address: " + address;
        }
        return UniqueFd();
    }
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) {
        return fail("socket");
    }
    // Lets a restarted simulator (or "cti up") bind while old connections linger in TIME_WAIT.
    int one = 1;
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        return fail("cannot bind");
    }
    if (::listen(fd.Get(), backlog) != 0) {
        return fail("cannot listen on");
    }
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    if (::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&bound), &len) != 0) {
        return fail("getsockname");
    }
    if (actualPort) {
        *actualPort = ntohs(bound.sin_port);
    }
    return fd;
}

UniqueFd ConnectTcp(const std::string& address, int port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
        return UniqueFd();
    }
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.Valid() && ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 && errno != EINPROGRESS) {
        return UniqueFd();
    }
    return fd;
}

UniqueFd AcceptTcp(int listenFd, std::string* peer)
{
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    int fd = ::accept4(listenFd, reinterpret_cast<sockaddr*>(&sa), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return UniqueFd();
    }
    // Every write is a message of its own (one event, one answer, half an
    // answer): Nagle's algorithm must not hold one back to merge it with the
    // next, or a client would read two events in one read.
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (peer) {
        char text[INET_ADDRSTRLEN] = "?";
        inet_ntop(AF_INET, &sa.sin_addr, text, sizeof text);
        *peer = std::string(text) + ":" + std::to_string(ntohs(sa.sin_port));
    }
    return UniqueFd(fd);
}

long SendSome(int fd, const char* data, std::size_t size)
{
    for (;;) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        return -1;
    }
}

ReadEnd ReadAvailable(int fd, int maxReads, const std::function<bool(std::string_view)>& onData)
{
    char buf[4096];
    for (int i = 0; i < maxReads;) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            ++i;
            if (!onData(std::string_view(buf, static_cast<std::size_t>(n)))) {
                return ReadEnd::Paused;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return ReadEnd::Again;
        }
        return n == 0 ? ReadEnd::Eof : ReadEnd::Error;
    }
    return ReadEnd::Paused;
}

} // namespace tsgsim
