#include "TestLinkPort.h"

#include "support/EventLoopWait.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CTestLinkPort::~CTestLinkPort()
{
    Close();
    if (m_farFd >= 0)
        ::close(m_farFd);
}

bool CTestLinkPort::Open(int rxBufferSize, int readChunk)
{
    if (m_bWriterRunning || m_fd >= 0)
        return false;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    if (m_farFd >= 0)
        ::close(m_farFd);
    m_fd = fds[0];
    m_farFd = fds[1];
    m_nRxBufferSize = static_cast<std::uint32_t>(rxBufferSize);
    m_nReadChunk = static_cast<std::uint32_t>(readChunk);
    m_nBlocksWritten = 0;
    std::lock_guard lock(m_mutex);
    m_blockSizes.clear();
    m_runSizes.clear();
    return true;
}

QByteArray CTestLinkPort::readFar(qsizetype count, std::chrono::milliseconds timeout)
{
    QByteArray out;
    const QDeadlineTimer deadline(timeout * deadlineScale());
    char buf[65536];
    for (pollfd p{m_farFd, POLLIN, 0}; out.size() < count;) {
        const ssize_t n
            = ::poll(&p, 1, int(deadline.remainingTime())) <= 0
                  ? 0
                  : ::read(m_farFd, buf, std::min<qsizetype>(sizeof buf, count - out.size()));
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

bool CTestLinkPort::writeFar(const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n
            = ::send(m_farFd, bytes.constData() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0 && errno != EINTR)
            return false;
        done += std::max<ssize_t>(n, 0);
    }
    return true;
}

std::vector<std::uint32_t> CTestLinkPort::blockSizes() const
{
    std::lock_guard lock(m_mutex);
    return m_blockSizes;
}

std::vector<std::size_t> CTestLinkPort::runSizes() const
{
    std::lock_guard lock(m_mutex);
    return m_runSizes;
}

std::size_t CTestLinkPort::WriteRun(TxRun blocks)
{
    {
        std::lock_guard lock(m_mutex);
        m_runSizes.push_back(blocks.size());
    }
    return CPortEngine::WriteRun(blocks);
}

bool CTestLinkPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    // A held writer waits here, as a slow line would.
    pollfd gate[2] = {{m_released.fd(), POLLIN, 0}, {m_hStopEvent->fd(), POLLIN, 0}};
    ::poll(gate, 2, -1);
    {
        std::lock_guard lock(m_mutex);
        m_blockSizes.push_back(length);
    }
    for (std::uint32_t done = 0; done < length;) {
        const ssize_t n = ::send(m_fd, data + done, length - done, MSG_NOSIGNAL);
        done += static_cast<std::uint32_t>(std::max<ssize_t>(n, 0));
        if (n > 0 || (n < 0 && errno == EINTR))
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        bool stopped = false;
        if (pollWithStop(m_fd, POLLOUT, *m_hStopEvent, m_nTimeoutSec * 1000, stopped) == 0)
            return stopped; // abandoned on stop, failed on time-out
    }
    return true;
}

void CTestLinkPort::ReaderLoop(std::uint8_t *buffer)
{
    for (;;) {
        bool stopped = false;
        const short revents = pollWithStop(m_fd, POLLIN, *m_hStopEvent, 250, stopped);
        if (stopped)
            return;
        if (revents == 0)
            continue;
        const ssize_t n = ::read(m_fd, buffer, m_nReadChunk);
        if (n > 0)
            AppendReceived(buffer, static_cast<std::uint32_t>(n));
        else if ((n == 0 || (errno != EAGAIN && errno != EINTR)) && m_hStopEvent->wait(50))
            return; // the far end is gone: the stop is waited for instead of spinning
    }
}

void CTestLinkPort::TeardownLink()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
