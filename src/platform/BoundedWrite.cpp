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

BoundedWrite writeBounded(int fd, CWriteCursor &cursor, const CEvent &stop,
                          std::chrono::milliseconds perBlock, const BoundedWriteHooks &hooks)
{
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + perBlock;
    while (!cursor.atEnd()) {
        if (hooks.gate) {
            if (const BoundedWrite held = hooks.gate(deadline); held != BoundedWrite::Written)
                return held;
        }
        const ssize_t n = ::write(fd, cursor.data(), cursor.left());
        if (n > 0) {
            if (const std::size_t finished = cursor.advance(static_cast<std::size_t>(n))) {
                deadline = Clock::now() + perBlock;
                if (hooks.blocksOut)
                    hooks.blocksOut(finished);
            }
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
