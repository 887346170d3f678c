#include "poll_set.h"

namespace tsgsim {

void PollSet::Clear()
{
    fds_.clear();
    handlers_.clear();
}

void PollSet::Add(int fd, short events, Handler handler)
{
    fds_.push_back(pollfd{fd, events, 0});
    handlers_.push_back(std::move(handler));
}

int PollSet::Wait(int timeoutMs)
{
    return ::poll(fds_.data(), fds_.size(), timeoutMs);
}

void PollSet::Dispatch()
{
    for (std::size_t i = 0; i < fds_.size(); ++i) {
        if (fds_[i].revents != 0) {
            handlers_[i](fds_[i].revents);
        }
    }
}

} // namespace tsgsim
