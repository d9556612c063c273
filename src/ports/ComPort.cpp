#include "ComPort.h"

#include "platform/DeviceNode.h"
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
// A read is handed on at the latest this long after its first byte, so that
// a steady stream shows while it flows instead of once a chunk is full.
constexpr auto kGatherLimit = std::chrono::milliseconds(10);
// How often a lost device's path is looked at; also the pace of the attempts
// to open it again once it is back.
constexpr int kDevicePollMs = 250;
// DSR changes raise no event that poll() could wait for together with the
// stop event, so a held write looks at the line this often.
constexpr int kDsrPollMs = 10;
// Receive staging buffer and read chunk of the serial link. A read takes all
// that waits, up to a chunk: a flood costs one hand-over per 64 KiB instead
// of one per few bytes, while a lone byte still goes on at once.
constexpr std::uint32_t kReadChunk = 64 * 1024;
constexpr std::uint32_t kRxBufferSize = 2 * kReadChunk;

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
    m_line = {};
    m_line.baud = baud;
    m_line.dataBits = dataBits;
    m_line.parity = parityLetter;
    m_line.stopBits = stopBits;
    m_line.xonXoff = m_handshake.xonXoff;
    m_line.rtsCts = m_handshake.rtsCts;

    if (OpenDevice(m_line))
        return true;
    // Nobody else can use the device while we hold it, and the caller has
    // nothing it could do with a half-configured one.
    m_hComm.close();
    m_dcb = {};
    return false;
}

bool CComPort::OpenDevice(const SerialLineSettings &line, bool quiet)
{
    const auto say = [quiet](const char *text) {
        if (!quiet)
            debugText(text);
    };
    if (const int err = m_hComm.open(m_deviceName); err != 0) {
        m_nLastOpenError = err;
        say("Open: Bad filehandle\n");
        if (!quiet)
            qCInfo(lcSerial, "%s: %s", qPrintable(m_deviceName), std::strerror(err));
        return false;
    }
    SerialTermios current;
    if (const int err = m_hComm.readTermios(current); err != 0) {
        m_nLastOpenError = err;
        say("Open: Could not read CommState\n");
        return false;
    }
    const bool valid = line.baud > 0 && line.dataBits >= 5 && line.dataBits <= 8
                       && (line.stopBits == 1 || line.stopBits == 2);
    if (!valid) {
        m_nLastOpenError = EINVAL;
        say("Open: BuildCommDCB failed\n");
        return false;
    }
    m_dcb = CSerialDevice::compose(current, line);
    if (const int err = m_hComm.writeTermios(m_dcb); err != 0) {
        m_nLastOpenError = err;
        say("Open: SetCommState failed\n");
        return false;
    }
    // DTR and RTS are raised for every handshake: with RTS/CTS the driver
    // then moves RTS itself, and the far end sees DTR as "terminal ready".
    CSerialDevice::ModemLines lines;
    if (const int err = m_hComm.raiseDtrRts(lines); err != 0) {
        m_nLastOpenError = err;
        say("Open: SetCommState failed\n");
        return false;
    }
    // The driver answers a rate it cannot generate with another one instead of
    // an error, so read back what it took.
    SerialTermios applied;
    if (const int err = m_hComm.readTermios(applied); err != 0) {
        m_nLastOpenError = err;
        say("Open: GetCommState failed\n");
        return false;
    }
    // 3 % is about what a UART receiver tolerates; drivers that round to
    // their nearest divisor stay well inside it.
    const long long wanted = line.baud;
    const long long got = applied.ospeed;
    if (got != 0 && std::llabs(got - wanted) * 100 > wanted * 3) {
        m_nLastOpenError = EINVAL;
        say("Open: SetCommState failed\n");
        if (!quiet)
            qCInfo(lcSerial, "%s: the driver set %lld baud for %lld", qPrintable(m_deviceName), got,
                   wanted);
        return false;
    }
    m_hComm.flushBoth();
    SampleHandshake();
    return true;
}

bool CComPort::Reopen()
{
    if (OpenDevice(m_line, true))
        return true;
    m_hComm.close();
    return false;
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

void CComPort::SampleHandshake()
{
    HandshakeHold hold = HandshakeHold::None;
    if (m_handshake.dsrOut && !DsrUp()) {
        hold = HandshakeHold::Dsr;
    } else if (m_handshake.rtsCts) {
        bool cts = true;
        if (m_ctsProbe) {
            cts = m_ctsProbe();
        } else {
            bool dsr = false;
            CSerialDevice::ModemLines lines;
            // Without modem lines there is no CTS to wait for.
            if (m_hComm.readInputs(dsr, cts, lines) != 0
                || lines == CSerialDevice::ModemLines::Absent)
                cts = true;
        }
        if (!cts)
            hold = HandshakeHold::Cts;
    }
    m_hold = hold;
}

bool CComPort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    const CEvent &stop = *m_hStopEvent;
    const auto deadline = Clock::now() + std::chrono::seconds(std::max(m_nTimeoutSec, 0));

    if (m_handshake.dsrOut) {
        while (!DsrUp()) {
            m_hold = HandshakeHold::Dsr;
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
    const auto handOver = Clock::now() + kGatherLimit;
    while (count < m_nReadChunk && Clock::now() < handOver) {
        // During a flood more is usually waiting already: read before polling.
        const ssize_t n = ::read(fd, buffer + count, m_nReadChunk - count);
        if (n > 0) {
            count += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // A failure is met again, and reported, by the next read of the loop.
        if (n == 0 || errno != EAGAIN)
            break;
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLIN, *m_hStopEvent, kIdleGapMs, stopped);
        if (stopped || !(revents & POLLIN))
            break;
    }
    return count;
}

void CComPort::ReaderLoop(std::uint8_t *buffer)
{
    const CEvent &stop = *m_hStopEvent;
    for (;;) {
        if (!IsLinkUp()) {
            if (!AwaitDeviceNode(
                    m_deviceName, [this] { return Reopen(); }, kDevicePollMs))
                return;
            qCDebug(lcSerial, "%s is back", qPrintable(m_deviceName));
            continue;
        }
        const int fd = m_hComm.fd();
        bool stopped = false;
        const short revents = pollWithStop(fd, POLLIN, stop, kReaderWaitMs, stopped);
        if (stopped)
            return;
        // The lines are looked at after every wait: at least four times a
        // second, at most once per chunk read.
        SampleHandshake();
        if (revents == 0) {
            // A node removed while the line stays quiet reports no error of
            // its own.
            if (devicenode::stillOpenAt(m_deviceName, fd))
                continue;
            debugText("ERROR: ReadFile");
        } else {
            const ssize_t n = ::read(fd, buffer, m_nReadChunk);
            if (n > 0) {
                AppendReceived(buffer, GatherChunk(buffer, static_cast<std::uint32_t>(n)));
                continue;
            }
            const int err = n < 0 ? errno : 0;
            if (err == EINTR || (err == EAGAIN && !(revents & (POLLERR | POLLHUP | POLLNVAL))))
                continue;
            // Failed, end of file or hung up: the device is gone (adapter
            // unplugged, far end of a pseudo-terminal closed). Said once; the
            // device is let go, so that it keeps its name when it returns.
            debugText(err == EAGAIN ? "ERROR: GetOverlappedResult (in Reader)\n"
                                    : "ERROR: ReadFile");
        }
        m_hold = HandshakeHold::None;
        DropLink([this] { m_hComm.close(); });
    }
}

void CComPort::TeardownLink()
{
    m_hold = HandshakeHold::None;
    m_hComm.close();
    m_dcb = {};
    m_handshake = {};
    m_line = {};
    m_nPort = 0;
}
