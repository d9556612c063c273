#include "ComPort.h"

#include "platform/Logging.h"
#include "platform/PortNotify.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A read is handed on once the line has been idle this long after data arrived.
constexpr int kIdleGapMs = 1;
// A read is handed on at the latest this long after its first byte, so that
// a steady stream shows while it flows instead of once a chunk is full.
constexpr auto kGatherLimit = std::chrono::milliseconds(10);
// Before a break, the driver's buffer is looked at this often until it is sent.
constexpr int kBreakDrainStepMs = 10;
// Receive staging buffer and read chunk of the serial link. A read takes all
// that waits, up to a chunk: a flood costs one hand-over per 64 KiB instead
// of one per few bytes, while a lone byte still goes on at once.
constexpr std::uint32_t kReadChunk = 64 * 1024;
constexpr std::uint32_t kRxBufferSize = 2 * kReadChunk;

// Modem lines read from functions instead of the device, which cannot be
// waited for: the watcher looks at them every 50 ms.
class CProbeTtyIo final : public CTtyIo
{
public:
    CProbeTtyIo(const std::function<bool()> &dsr, const std::function<bool()> &cts)
        : m_dsr(dsr)
        , m_cts(cts)
    {}
    int modemLines(int, int &bits) override
    {
        // A line without a probe is up, as on a device without modem lines.
        bits = ModemBits::Dtr | ModemBits::Rts;
        if (!m_dsr || m_dsr())
            bits |= ModemBits::Dsr;
        if (!m_cts || m_cts())
            bits |= ModemBits::Cts;
        return 0;
    }
    int switchModemLines(int, int, bool) override { return 0; }
    int waitModemChange(int, int) override { return ENOTTY; }

private:
    const std::function<bool()> &m_dsr;
    const std::function<bool()> &m_cts;
};

} // namespace

CComPort::CComPort()
    : CDevicePort(lcSerial)
{}

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
    if (!BeginOpen(timeoutSec, kRxBufferSize, kReadChunk))
        return false;
    m_nPort = port;
    m_nProtocol = protocol;
    m_nFailedDrains = 0;
    m_nLastOpenError = 0;
    m_switched = 0;
    m_switchedUp = 0;

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
    const auto say = [this, quiet](const char *text) {
        if (!quiet)
            DebugText(text);
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
    return true;
}

bool CComPort::Reopen()
{
    if (!OpenDevice(m_line, true)) {
        m_hComm.close();
        return false;
    }
    // A line the user switched stays as set.
    const int switched = m_switched.load();
    const int up = m_switchedUp.load();
    for (const int bit : {int(ModemBits::Dtr), int(ModemBits::Rts)}) {
        if (switched & bit)
            m_hComm.switchModemLines(bit, (up & bit) != 0);
    }
    m_lines.resume();
    return true;
}

void CComPort::SetDsrProbe(std::function<bool()> probe)
{
    m_dsrProbe = std::move(probe);
    UseProbes();
}

void CComPort::SetCtsProbe(std::function<bool()> probe)
{
    m_ctsProbe = std::move(probe);
    UseProbes();
}

void CComPort::UseProbes()
{
    if (!m_dsrProbe && !m_ctsProbe) {
        m_hComm.setIo(nullptr);
        m_probeIo.reset();
        return;
    }
    if (!m_probeIo)
        m_probeIo = std::make_unique<CProbeTtyIo>(m_dsrProbe, m_ctsProbe);
    m_hComm.setIo(m_probeIo.get());
}

void CComPort::OnStarted()
{
    m_breakWanted = false;
    m_breakResult = LineRequest::NotRunning;
    m_lines.start([this](const ModemLineState &lines) { OnLinesChanged(lines); });
}

void CComPort::OnLinesChanged(const ModemLineState &lines)
{
    // Without modem lines there is nothing to wait for.
    HandshakeHold hold = HandshakeHold::None;
    if (lines.available && m_handshake.dsrOut && !lines.dsr)
        hold = HandshakeHold::Dsr;
    else if (lines.available && m_handshake.rtsCts && !lines.cts)
        hold = HandshakeHold::Cts;
    m_hold = hold;
    if (m_announceLines)
        postPortNotify(PortNotifyCode::ModemLinesChanged);
}

BoundedWrite CComPort::GateWrite(Clock::time_point deadline)
{
    if (!m_handshake.dsrOut)
        return BoundedWrite::Written;
    CEvent &changed = m_lines.changedEvent();
    for (;;) {
        // Reset before looking, so that a change right after the look wakes
        // the wait. The line is read afresh: the watcher may be a moment late.
        changed.reset();
        int lines = 0;
        // Without modem lines there is no DSR to wait for; a line that cannot
        // be read any more is reported by the write itself.
        if (m_hComm.modemLines(lines) != 0 || (lines & ModemBits::Dsr))
            return BoundedWrite::Written;
        const int left = millisecondsUntil(deadline);
        if (left == 0)
            return BoundedWrite::TimedOut;
        bool stopped = false;
        pollWithStop(changed.fd(), POLLIN, *m_hStopEvent, left, stopped);
        if (stopped)
            return BoundedWrite::Stopped;
    }
}

int CComPort::DrivenLines(int protocol)
{
    switch (protocol) {
    case 2:
        return ModemBits::Dtr | ModemBits::Rts;
    case 3:
        return ModemBits::Rts;
    case 4:
        return ModemBits::Dtr;
    default:
        return 0;
    }
}

LineRequest CComPort::SetOutputLine(int bit, bool up)
{
    if (!IsStarted() || !IsLinkUp())
        return LineRequest::NotRunning;
    if (DrivenLines(m_nProtocol) & bit)
        return LineRequest::DrivenByHandshake;
    const LineRequest result = m_lines.switchLines(bit, up);
    if (result == LineRequest::Done) {
        m_switched |= bit;
        if (up)
            m_switchedUp |= bit;
        else
            m_switchedUp &= ~bit;
    }
    return result;
}

LineRequest CComPort::SendBreak()
{
    if (!IsStarted() || !IsLinkUp())
        return LineRequest::NotRunning;
    m_breakWanted = true;
    WakeWriter();
    return LineRequest::Queued;
}

void CComPort::AfterDrain()
{
    if (!m_breakWanted.exchange(false))
        return;
    m_breakResult = BreakNow();
    postPortNotify(PortNotifyCode::BreakDone);
}

LineRequest CComPort::BreakNow()
{
    if (!IsLinkUp() || !m_hComm.isOpen())
        return LineRequest::NotRunning;
    // What was sent before the break goes out first. The kernel would wait
    // for it too, but nothing could end that wait; this one ends with the
    // write time-out or a stop.
    const auto deadline = Clock::now() + std::chrono::seconds(std::max(m_nTimeoutSec, 0));
    for (int queued = 0; m_hComm.outputQueued(queued) == 0 && queued > 0;) {
        if (millisecondsUntil(deadline) == 0) {
            qCDebug(lcSerial, "break: the device did not take the bytes before it");
            return LineRequest::Failed;
        }
        if (m_hStopEvent->wait(kBreakDrainStepMs))
            return LineRequest::NotRunning;
    }
    const int err = m_hComm.sendBreak();
    if (err == 0)
        return LineRequest::Done;
    if (isNoModemLinesError(err))
        return LineRequest::NotSupported;
    qCDebug(lcSerial, "break: %s", std::strerror(err));
    return LineRequest::Failed;
}

void CComPort::OnDrainFailed()
{
    // Neither the rest of a failed transmission nor the answer to it is of use.
    m_hComm.flushBoth();
    ++m_nFailedDrains;
}

std::uint32_t CComPort::ReadOn(std::uint8_t *buffer, std::uint32_t count)
{
    const int fd = m_hComm.fd();
    const auto handOver = Clock::now() + kGatherLimit;
    while (count < m_nReadChunk && Clock::now() < handOver) {
        // During a flood more is usually waiting already: read before polling.
        const ssize_t n = m_hComm.read(buffer + count, m_nReadChunk - count);
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

void CComPort::TeardownLink()
{
    // The watching thread uses the device: it ends first.
    m_lines.stop();
    m_hold = HandshakeHold::None;
    m_hComm.close();
    m_dcb = {};
    m_handshake = {};
    m_line = {};
    m_nPort = 0;
    m_nProtocol = 0;
}
