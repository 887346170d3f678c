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
    return Open(address_, port_, error);
}

int Acceptor::PollFd(TimePoint now) const
{
    return fd_.Valid() && now >= pausedUntil_ ? fd_.Get() : -1;
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
