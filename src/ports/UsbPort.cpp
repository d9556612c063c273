#include "UsbPort.h"

#include "platform/Logging.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// One wait of the reader while nothing arrives.
constexpr int kReaderWaitMs = 250;
// Pause after a failed read: an unplugged printer is retried at a calm pace.
constexpr int kErrorPauseMs = 50;
constexpr std::uint32_t kRxBufferSize = 512;
constexpr std::uint32_t kReadChunk = 256;

void debugText(const char *text)
{
    qCDebug(lcUsb, "%s", text);
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, std::numeric_limits<int>::max()));
}

} // namespace

CUsbPort::~CUsbPort()
{
    Close();
}

bool CUsbPort::Open(const QString &devicePath, int timeoutSec)
{
    if (m_bWriterRunning || IsStarted())
        return false;
    // A device still held by an earlier Open is let go first.
    if (m_hDevice >= 0) {
        ::close(m_hDevice);
        m_hDevice = -1;
    }
    m_strDevicePath = devicePath;
    m_nTimeoutSec = timeoutSec;
    m_nRxBufferSize = kRxBufferSize;
    m_nReadChunk = kReadChunk;
    m_nBlocksWritten = 0;

    m_nLastOpenError = OpenDevice();
    if (m_nLastOpenError == 0)
        return true;
    debugText("Open: Bad filehandle\n");
    qCInfo(lcUsb, "%s: %s", qPrintable(m_deviceNode.isEmpty() ? devicePath : m_deviceNode),
           std::strerror(m_nLastOpenError));
    return false;
}

int CUsbPort::OpenDevice()
{
    m_deviceNode.clear();
    if (m_strDevicePath.isEmpty() || m_strDevicePath == UsbPrinters::kPlaceholderPath)
        return ENODEV;
    m_deviceNode = UsbDeviceNode(m_strDevicePath, m_roots);
    if (m_deviceNode.isEmpty())
        return ENODEV;
    // O_NONBLOCK: every wait goes through poll() together with the stop event.
    const int fd = ::open(QFile::encodeName(m_deviceNode).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // usblp lets one user in at a time; the lock also keeps out a second
    // terminal on a device node that would allow it (a pseudo-terminal).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? EBUSY : err;
    }
    // A terminal device passes the bytes unchanged: no echo, no line editing,
    // no CR/NL translation.
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        if (::tcsetattr(fd, TCSANOW, &t) != 0) {
            const int err = errno;
            ::close(fd);
            return err;
        }
    }
    m_hDevice = fd;
    return 0;
}

bool CUsbPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    // Failures are reported, and the writer goes on with the next block: a
    // printer that took part of a job still gets the rest.
    const CEvent &stop = *m_hStopEvent;
    const auto deadline = Clock::now() + std::chrono::seconds(std::max(m_nTimeoutSec, 0));
    std::uint32_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(m_hDevice, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        const int err = n < 0 ? errno : EAGAIN;
        if (err == EINTR)
            continue;
        if (err != EAGAIN) {
            debugText("ERROR: WriteFile (in Writer)");
            return true;
        }
        // The printer's buffer is full (or it is out of paper).
        const int left = remainingMs(deadline);
        if (left == 0) {
            debugText("ERROR: Overlapped I/O Timeout\n");
            return true;
        }
        bool stopped = false;
        const short revents = pollWithStop(m_hDevice, POLLOUT, stop, left, stopped);
        if (stopped)
            return true;
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) && !(revents & POLLOUT)) {
            debugText("ERROR: GetOverlappedResult(in Writer)");
            return true;
        }
    }
    return true;
}

void CUsbPort::ReaderLoop(std::uint8_t *buffer)
{
    const CEvent &stop = *m_hStopEvent;
    for (;;) {
        bool stopped = false;
        const short revents = pollWithStop(m_hDevice, POLLIN, stop, kReaderWaitMs, stopped);
        if (stopped)
            return;
        if (revents == 0)
            continue;
        const ssize_t n = ::read(m_hDevice, buffer, m_nReadChunk);
        if (n > 0) {
            AppendReceived(buffer, static_cast<std::uint32_t>(n));
            continue;
        }
        const int err = n < 0 ? errno : 0;
        if (err == EINTR || (err == EAGAIN && !(revents & (POLLERR | POLLHUP | POLLNVAL))))
            continue;
        // The device is gone (unplugged, or the far end of a pseudo-terminal
        // closed): poll() reports that at once, so pause before the next try.
        debugText(err == EAGAIN ? "ERROR: GetOverlappedResult (in Reader)\n" : "ERROR: ReadFile");
        if (stop.wait(kErrorPauseMs))
            return;
    }
}

void CUsbPort::TeardownLink()
{
    if (m_hDevice >= 0)
        ::close(m_hDevice);
    m_hDevice = -1;
    m_strDevicePath = UsbPrinters::kPlaceholderPath;
}
