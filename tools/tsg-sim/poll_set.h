#pragma once

#include <poll.h>

#include <functional>
#include <vector>

namespace tsgsim {

// The descriptors of one poll() round, each with what to do when it is ready.
class PollSet {
public:
    using Handler = std::function<void(short revents)>;

    void Clear();
    void Add(int fd, short events, Handler handler);
    // poll(); returns its result (-1 with errno set on failure).
    int Wait(int timeoutMs);
    // Calls the handler of every ready descriptor, in the order added.
    void Dispatch();

private:
    std::vector<pollfd> fds_;
    std::vector<Handler> handlers_;
};

} // namespace tsgsim
