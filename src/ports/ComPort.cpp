#include "ComPort.h"

#include "platform/Logging.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// One wait of the reader while nothing arrives.
constexpr int kReaderWaitMs = 250;
// A read is handed on once the line has been idle this long after data arrived.
constexpr int kIdleGapMs = 1;
// Pause after a failed read, so a dead line (an unplugged adapter) is retried
// at a calm pace instead of spinning a core.
constexpr int kErrorPauseMs = 50;
// DSR changes raise no event that poll() could wait for together with the
// stop event, so a held write looks at the line this often.
constexpr int kDsrPollMs = 10;
// Receive staging buffer and read chunk of the serial link.
constexpr std::uint32_t kRxBufferSize = 512;
constexpr std::uint32_t kReadChunk = 64;

void debugText(const char *text)
{
    qCDebug(lcSerial, "%s", text);
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, std::numeric_limits<int>::max()));
}

} // namespace

CComPort::~CComPort()
{
    Close();
}

QString CComPort::DeviceNameFor(int port, const QString &devicePath)
{
    const QString path = devicePath.trimmed();
    if (!path.isEmpty())
        return path;
    if (port < 1)
        return {};
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

char CComPort::ParityLetter(int parity)
{
    switch (parity) {
    case 1:
        return 'e';
    case 2:
        return 'o';
    default:
        return 'n';
    }
}

CComPort::Handshake CComPort::HandshakeFor(int protocol)
{
    Handshake h;
    switch (protocol) {
    case 1:
        h.xonXoff = true;
        break;
    case 2:
        h.rtsCts = true;
        h.dsrOut = true;
        break;
    case 3:
        h.rtsCts = true;
        break;
    case 4:
        h.dsrOut = true;
        break;
    default:
        break;
    }
    return h;
}

bool CComPort::Open(int port, int baud, int parity, int dataBits, int stopBits, int protocol,
                    int timeoutSec)
{
    if (m_bWriterRunning || IsStarted())
        return false;
    // A device still held by an earlier Open is let go first.
    m_hComm.close();

    m_nTimeoutSec = timeoutSec;
    m_nPort = port;
    m_nRxBufferSize = kRxBufferSize;
    m_nReadChunk = kReadChunk;
    m_nBlocksWritten = 0;
    m_nFailedDrains = 0;
    m_nLastOpenError = 0;

    m_deviceName = DeviceNameFor(port, m_devicePath);
    const char parityLetter = ParityLetter(parity);
    char definition[128];
    std::snprintf(definition, sizeof definition, "baud=%d parity=%c data=%d stop=%d", baud,
                  parityLetter, dataBits, stopBits);
    m_definition = definition;

    m_handshake = HandshakeFor(protocol);
    SerialLineSettings line;
    line.baud = baud;
    line.dataBits = dataBits;
    line.parity = parityLetter;
    line.stopBits = stopBits;
    line.xonXoff = m_handshake.xonXoff;
    line.rtsCts = m_handshake.rtsCts;

    if (OpenDevice(line))
        return true;
    // Nobody else can use the device while we hold it, and the caller has
    // nothing it could do with a half-configured one.
    m_hComm.close();
    m_dcb = {};
    return false;
}

bool CComPort::OpenDevice(const SerialLineSettings &line)
{
    if (const int err = m_hComm.open(m_deviceName); err != 0) {
        m_nLastOpenError = err;
        debugText("Open: Bad filehandle\n");
        qCInfo(lcSerial, "%s: %s", qPrintable(m_deviceName), std::strerror(err));
        return false;
    }
    SerialTermios current;
    if (const int err = m_hComm.readTermios(current); err != 0) {
        m_nLastOpenError = err;
        debugText("Open: Could not read CommState\n");
        return false;
    }
    const bool valid = line.baud > 0 && line.dataBits >= 5 && line.dataBits <= 8
                       && (line.stopBits == 1 || line.stopBits == 2);
    if (!valid) {
        m_nLastOpenError = EINVAL;
        debugText("Open: BuildCommDCB failed\n");
        return false;
    }
    m_dcb = CSerialDevice::compose(current, line);
    if (const int err = m_hComm.writeTermios(m_dcb); err != 0) {
        m_nLastOpenError = err;
        debugText("Open: SetCommState failed\n");
        return false;
    }
    // DTR and RTS are raised for every handshake: with RTS/CTS the driver
    // then moves RTS itself, and the far end sees DTR as "terminal ready".
    CSerialDevice::ModemLines lines;
    if (const int err = m_hComm.raiseDtrRts(lines); err != 0) {
        m_nLastOpenError = err;
        debugText("Open: SetCommState failed\n");
        return false;
    }
    // The driver answers a rate it cannot generate with another one instead of
    // an error, so read back what it took.
    SerialTermios applied;
    if (const int err = m_hComm.readTermios(applied); err != 0) {
        m_nLastOpenError = err;
        debugText("Open: GetCommState failed\n");
        return false;
    }
    // 3 % is about what a UART receiver tolerates; drivers that round to
    // their nearest divisor stay well inside it.
    const long long wanted = line.baud;
    const long long got = applied.ospeed;
    if (got != 0 && std::llabs(got - wanted) * 100 > wanted * 3) {
        m_nLastOpenError = EINVAL;
        debugText("Open: SetCommState failed\n");
        qCInfo(lcSerial, "%s: the driver set %lld baud for %lld", qPrintable(m_deviceName), got,
               wanted);
        return false;
    }
    m_hComm.flushBoth();
    return true;
}

bool CComPort::CanStart() const
{
    return IsOpen();
}

bool CComPort::DsrUp() const
{
    if (m_dsrProbe)
        return m_dsrProbe();
    bool up = false;
    CSerialDevice::ModemLines lines;
    // Without modem lines (a pseudo-terminal) there is no DSR to wait for; a
    // line that cannot be read any more is reported by the write itself.
    if (m_hComm.readDsr(up, lines) != 0 || lines == CSerialDevice::ModemLines::Absent)
        return true;
    return up;
}

bool CComPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    const CEvent &stop = *m_hStopEvent;
    const auto deadline = Clock::now() + std::chrono::seconds(std::max(m_nTimeoutSec, 0));

    if (m_handshake.dsrOut) {
        while (!DsrUp()) {
            const int left = remainingMs(deadline);
            if (left == 0) {
                debugText("ERROR: Overlapped I/O Timeout\n");
                return false;
            }
            // At a stop the block is abandoned, which counts as done.
            if (stop.wait(std::min(left, kDsrPollMs)))
                return true;
        }
    }

    const int fd = m_hComm.fd();
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
        if (err != EAGAIN) {
            debugText("ERROR: WriteFile (in Writer)");
            return false;
        }
        // The driver's buffer is full, or flow control holds the line.
        const int left = remainingMs(deadline);
        if (left == 0) {
            debugText("ERROR: Overlapped I/O Timeout\n");
            return false;
        }
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLOUT, stop, left, stopped);
        if (stopped)
            return true;
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) && !(revents & POLLOUT)) {
            debugText("ERROR: GetOverlappedResult(in Writer)");
            return false;
        }
    }
    return true;
}

void CComPort::OnDrainFailed()
{
    // Neither the rest of a failed transmission nor the answer to it is of use.
    m_hComm.flushBoth();
    ++m_nFailedDrains;
}

std::uint32_t CComPort::GatherChunk(std::uint8_t *buffer, std::uint32_t count)
{
    const int fd = m_hComm.fd();
    while (count < m_nReadChunk) {
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLIN, *m_hStopEvent, kIdleGapMs, stopped);
        if (stopped || !(revents & POLLIN))
            break;
        const ssize_t n = ::read(fd, buffer + count, m_nReadChunk - count);
        // A failure is met again, and reported, by the next read of the loop.
        if (n <= 0)
            break;
        count += static_cast<std::uint32_t>(n);
    }
    return count;
}

void CComPort::ReaderLoop(std::uint8_t *buffer)
{
    const int fd = m_hComm.fd();
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
            AppendReceived(buffer, GatherChunk(buffer, static_cast<std::uint32_t>(n)));
            continue;
        }
        const int err = n < 0 ? errno : 0;
        if (err == EINTR)
            continue;
        if (err == EAGAIN) {
            if (!(revents & (POLLERR | POLLHUP | POLLNVAL)))
                continue;
            debugText("ERROR: GetOverlappedResult (in Reader)\n");
        } else {
            // Failed, or end of file: the line is gone (adapter unplugged,
            // far end of a pseudo-terminal closed). poll() keeps reporting
            // that at once, hence the pause.
            debugText("ERROR: ReadFile");
        }
        if (stop.wait(kErrorPauseMs))
            return;
    }
}

void CComPort::TeardownLink()
{
    m_hComm.close();
    m_dcb = {};
    m_handshake = {};
    m_nPort = 0;
}
