#include "Pty.h"

#include <chrono>
#include <climits>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The kernel's struct termios2, which glibc's <termios.h> lacks: it carries the
// exact rates of lines set with BOTHER.
struct KernelTermios2
{
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
constexpr unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : (left > INT_MAX ? INT_MAX : static_cast<int>(left));
}

} // namespace

PtyPair::PtyPair()
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return;
    char name[128];
    if (::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        ::close(slave);
        return;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slave = slave;
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
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{m_master, POLLOUT, 0};
        if (::poll(&p, 1, remainingMs(deadline)) == 0)
            return false;
    }
    return true;
}

QByteArray PtyPair::readWhile(int timeoutMs, const std::function<bool(const QByteArray &)> &more)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray received;
    char buffer[4096];
    while (more(received)) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const int left = remainingMs(deadline);
        if (left == 0)
            break;
        pollfd p{m_master, POLLIN, 0};
        ::poll(&p, 1, left);
        // Nothing to read but a hang-up: nothing more will come.
        if (!(p.revents & POLLIN) && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            break;
    }
    return received;
}

QByteArray PtyPair::read(qsizetype count, int timeoutMs)
{
    return readWhile(timeoutMs, [count](const QByteArray &r) { return r.size() < count; });
}

QByteArray PtyPair::readUntil(const QByteArray &tail, int timeoutMs)
{
    return readWhile(timeoutMs, [&tail](const QByteArray &r) { return !r.endsWith(tail); });
}

bool PtyPair::line(Line &out) const
{
    // On the master, the terminal requests act on the slave's settings.
    KernelTermios2 t{};
    if (::ioctl(m_master, kGetTermios2, &t) != 0)
        return false;
    out.iflag = t.c_iflag;
    out.oflag = t.c_oflag;
    out.cflag = t.c_cflag;
    out.lflag = t.c_lflag;
    out.ispeed = t.c_ispeed;
    out.ospeed = t.c_ospeed;
    return true;
}
