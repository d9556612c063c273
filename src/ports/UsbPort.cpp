#include "UsbPort.h"

#include "platform/BoundedWrite.h"
#include "platform/Logging.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace {

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
    m_hDevice.close();
    m_strDevicePath = devicePath;
    m_nTimeoutSec = timeoutSec;
    m_nRxBufferSize = kRxBufferSize;
    m_nReadChunk = kReadChunk;
    m_nBlocksWritten = 0;

    m_nLastOpenError = OpenDevice();
    if (m_nLastOpenError == 0)
        return true;
    m_hDevice.close();
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
    // usblp lets one user in at a time; the lock keeps out a second terminal
    // also on a node that would allow it.
    if (const int err = m_hDevice.open(m_deviceNode); err != 0)
        return err;
    // A terminal device (a pseudo-terminal standing in for a printer) passes
    // the bytes unchanged, at whatever rate it has; a usblp node is none.
    SerialTermios current;
    if (m_hDevice.readTermios(current) != 0)
        return 0;
    SerialLineSettings line;
    line.baud = current.ospeed > 0 ? static_cast<int>(current.ospeed) : line.baud;
    return m_hDevice.writeTermios(CSerialDevice::compose(current, line));
}

bool CUsbPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(m_nTimeoutSec, 0));
    switch (writeBounded(m_hDevice.fd(), data, length, *m_hStopEvent, deadline)) {
    case BoundedWrite::Written:
    case BoundedWrite::Stopped:
        break;
    case BoundedWrite::Failed:
        debugText("ERROR: WriteFile (in Writer)");
        break;
    case BoundedWrite::TimedOut:
        debugText("ERROR: Overlapped I/O Timeout\n");
        break;
    case BoundedWrite::HungUp:
        debugText("ERROR: GetOverlappedResult(in Writer)");
        break;
    }
    // The writer goes on with the next block whatever became of this one: a
    // printer that took part of a job still gets the rest.
    return true;
}

void CUsbPort::ReaderLoop(std::uint8_t *buffer)
{
    const int fd = m_hDevice.fd();
    const CEvent &stop = *m_hStopEvent;
    for (;;) {
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLIN, stop, kReaderWaitMs, stopped);
        if (stopped)
            return;
        if (revents == 0)
            continue;
        const ssize_t n = ::read(fd, buffer, m_nReadChunk);
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
    m_hDevice.close();
    m_strDevicePath = UsbPrinters::kPlaceholderPath;
}
