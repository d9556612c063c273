#include "Pty.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[128];
    if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0
        || ::ptsname_r(m_master, name, sizeof name) != 0)
        return;
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool PtyPair::write(const QByteArray &bytes, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, bytes.size() - done);
        done += std::max<ssize_t>(n, 0);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{m_master, POLLOUT, 0};
        if (n <= 0 && ::poll(&p, 1, int(deadline.remainingTime())) == 0)
            return false;
    }
    return true;
}

QByteArray PtyPair::readWhile(int timeoutMs, const std::function<bool(const QByteArray &)> &more)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray received;
    char buffer[4096];
    while (more(received)) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0 || (n < 0 && errno == EINTR)) {
            received.append(buffer, std::max<ssize_t>(n, 0));
            continue;
        }
        pollfd p{m_master, POLLIN, 0};
        // Nothing to read but a hang-up: nothing more will come.
        if (deadline.hasExpired() || ::poll(&p, 1, int(deadline.remainingTime())) == 0
            || (!(p.revents & POLLIN) && (p.revents & (POLLHUP | POLLERR | POLLNVAL))))
            break;
    }
    return received;
}
