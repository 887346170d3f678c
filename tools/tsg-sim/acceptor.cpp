#include "acceptor.h"

#include <cerrno>
#include <cstring>

#include "net.h"

namespace tsgsim {

namespace {

constexpr int kAcceptPauseMs = 100;

bool AcceptShouldPause(int err)
{
    return err == EMFILE || err == ENFILE || err == ENOBUFS || err == ENOMEM;
}

bool AcceptRetryable(int err)
{
    return err == EINTR || err == ECONNABORTED || err == EPROTO || err == EPERM;
}

} // namespace

Acceptor::Acceptor(std::string name, Logger& log, OnAccept onAccept)
    : name_(std::move(name)), log_(log), onAccept_(std::move(onAccept))
{
}

bool Acceptor::Open(const std::string& address, int port, std::string* error)
{
    address_ = address;
    int bound = 0;
    fd_ = ListenTcp(address, port, &bound, error);
    if (fd_.Valid()) {
        port_ = bound;
    }
    return fd_.Valid();
}

bool Acceptor::Reopen(std::string* error)
{
    filler_.Reset();
    fd_.Reset();
    return Open(address_, port_, error);
}

bool Acceptor::Stall(std::string* error)
{
    fd_.Reset();
    // A queue of one place, taken by a connection of our own that is never
    // accepted: the system drops every later connect request.
    fd_ = ListenTcp(address_, port_, nullptr, error, 0);
    if (!fd_.Valid()) {
        return false;
    }
    filler_ = ConnectTcp(address_ == "0.0.0.0" ? "127.0.0.1" : address_, port_);
    return filler_.Valid();
}

int Acceptor::PollFd(TimePoint now) const
{
    return fd_.Valid() && !Stalled() && now >= pausedUntil_ ? fd_.Get() : -1;
}

std::optional<TimePoint> Acceptor::PauseEnd(TimePoint now) const
{
    if (pausedUntil_ > now) {
        return pausedUntil_;
    }
    return std::nullopt;
}

void Acceptor::AcceptAll(TimePoint now)
{
    while (fd_.Valid()) {
        std::string peer;
        UniqueFd fd = AcceptTcp(fd_.Get(), &peer);
        if (!fd.Valid()) {
            int err = errno;
            if (AcceptRetryable(err)) {
                continue;
            }
            if (AcceptShouldPause(err)) {
                log_.Line(name_ + " accept failed: " + std::strerror(err) + ", pausing");
                pausedUntil_ = now + Millis(kAcceptPauseMs);
            } else if (err != EAGAIN && err != EWOULDBLOCK) {
                log_.Line(name_ + " accept failed: " + std::strerror(err));
            }
            return;
        }
        onAccept_(std::move(fd), peer);
    }
}

} // namespace tsgsim
