#include "BoundedWrite.h"

#include "platform/WriteCursor.h"

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

BoundedWriteEnd writeBlocksBounded(int fd, std::span<const iovec> blocks, const CEvent &stop,
                                   std::chrono::milliseconds perBlock,
                                   const BoundedWriteHooks &hooks)
{
    using Clock = std::chrono::steady_clock;
    CWriteCursor cursor(blocks);
    auto deadline = Clock::now() + perBlock;
    const auto ended = [&](BoundedWrite outcome) {
        return BoundedWriteEnd{outcome, cursor.block()};
    };
    while (!cursor.atEnd()) {
        if (hooks.gate) {
            if (const BoundedWrite held = hooks.gate(deadline); held != BoundedWrite::Written)
                return ended(held);
        }
        const ssize_t n = ::writev(fd, cursor.iov(), cursor.iovCount());
        if (n > 0) {
            const std::size_t before = cursor.block();
            if (cursor.advance(static_cast<std::size_t>(n))) {
                deadline = Clock::now() + perBlock;
                if (hooks.blocksOut)
                    hooks.blocksOut(cursor.block() - before);
            }
            continue;
        }
        const int err = n < 0 ? errno : EAGAIN;
        if (err == EINTR)
            continue;
        if (err != EAGAIN)
            return ended(BoundedWrite::Failed);
        const int left = millisecondsUntil(deadline);
        if (left == 0)
            return ended(BoundedWrite::TimedOut);
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLOUT, stop, left, stopped);
        if (stopped)
            return ended(BoundedWrite::Stopped);
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) && !(revents & POLLOUT))
            return ended(BoundedWrite::HungUp);
    }
    return ended(BoundedWrite::Written);
}
