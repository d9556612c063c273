#include "Event.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

CEvent::CEvent()
    : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{}

CEvent::~CEvent()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CEvent::set()
{
    // The counter only ever holds 0 or 1, so the event stays readable until reset.
    if (isSet())
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(m_fd, &one, sizeof one);
}

void CEvent::reset()
{
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(m_fd, &value, sizeof value);
}

bool CEvent::isSet() const
{
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool CEvent::wait(int timeoutMs) const
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int remaining = timeoutMs;
        if (timeoutMs >= 0) {
            // Rounded up: a wait never ends before its time (pacing relies on it).
            remaining = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
            if (remaining < 0)
                remaining = 0;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int r = ::poll(&p, 1, remaining);
        if (r == 1)
            return true;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

short pollWithStop(int fd, short events, const CEvent &stop, int timeoutMs, bool &stopped)
{
    pollfd p[2] = {{stop.fd(), POLLIN, 0}, {fd, events, 0}};
    stopped = false;
    int r;
    do {
        r = ::poll(p, 2, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0)
        return 0;
    if (p[0].revents & POLLIN) {
        stopped = true;
        return 0;
    }
    return p[1].revents;
}
