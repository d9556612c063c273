#include "BoundedWrite.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include <poll.h>
#include <unistd.h>

int millisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left
        = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
              .count();
    return static_cast<int>(std::clamp<long long>(left, 0, std::numeric_limits<int>::max()));
}

BoundedWrite writeBounded(int fd, const std::uint8_t *data, std::uint32_t length,
                          const CEvent &stop, std::chrono::steady_clock::time_point deadline)
{
    std::uint32_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        const int err = n < 0 ? errno : EAGAIN;
        if (err == EINTR)
            continue;
        if (err != EAGAIN)
            return BoundedWrite::Failed;
        const int left = millisecondsUntil(deadline);
        if (left == 0)
            return BoundedWrite::TimedOut;
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLOUT, stop, left, stopped);
        if (stopped)
            return BoundedWrite::Stopped;
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) && !(revents & POLLOUT))
            return BoundedWrite::HungUp;
    }
    return BoundedWrite::Written;
}
