#include "SerialDevice.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

// The kernel's termios2 (for any baud rate through BOTHER) instead of glibc's
// <termios.h>: the two define the same names, so this file uses only the former.
#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

static_assert(sizeof(SerialTermios::cc) == sizeof(termios2::c_cc));

// How long close() lets the driver send what it still holds. Closing a tty
// with unsent output otherwise waits for the driver's closing_wait (30 s by
// default, forever while flow control holds the line).
constexpr int kCloseDrainMs = 500;
constexpr int kCloseDrainStepMs = 10;

struct StandardRate
{
    int baud;
    unsigned code;
};

// Rates with a classic Bnnn code; older drivers only understand those, so
// BOTHER is used for the rest alone.
constexpr StandardRate kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

unsigned speedCode(int baud)
{
    for (const StandardRate &rate : kStandardRates) {
        if (rate.baud == baud)
            return rate.code;
    }
    return BOTHER;
}

SerialTermios fromKernel(const termios2 &t)
{
    SerialTermios s;
    s.iflag = t.c_iflag;
    s.oflag = t.c_oflag;
    s.cflag = t.c_cflag;
    s.lflag = t.c_lflag;
    s.line = t.c_line;
    std::memcpy(s.cc, t.c_cc, sizeof s.cc);
    s.ispeed = t.c_ispeed;
    s.ospeed = t.c_ospeed;
    return s;
}

termios2 toKernel(const SerialTermios &s)
{
    termios2 t{};
    t.c_iflag = s.iflag;
    t.c_oflag = s.oflag;
    t.c_cflag = s.cflag;
    t.c_lflag = s.lflag;
    t.c_line = s.line;
    std::memcpy(t.c_cc, s.cc, sizeof s.cc);
    t.c_ispeed = s.ispeed;
    t.c_ospeed = s.ospeed;
    return t;
}

} // namespace

int CSerialDevice::open(const QString &path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return ENOENT;
    // O_NOCTTY: a serial line must never become our controlling terminal.
    // O_NONBLOCK: neither open (waiting for carrier) nor I/O may block; every
    // wait goes through poll() together with the stop event.
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // flock() is what other terminal programs check; it also keeps out a
    // second instance of this program when it runs as root, for whom the tty's
    // exclusive mode does not apply.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? EBUSY : err;
    }
    // Exclusive mode makes every further open() of the tty fail with EBUSY,
    // also for programs that never look at locks.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        if (err != ENOTTY) {
            ::close(fd);
            return err;
        }
        // Not a terminal: reading the line settings reports that.
    } else {
        m_exclusive = true;
    }
    m_fd = fd;
    return 0;
}

int CSerialDevice::readTermios(SerialTermios &termios) const
{
    termios2 t{};
    if (::ioctl(m_fd, TCGETS2, &t) != 0)
        return errno;
    termios = fromKernel(t);
    return 0;
}

int CSerialDevice::writeTermios(const SerialTermios &termios)
{
    const termios2 t = toKernel(termios);
    if (::ioctl(m_fd, TCSETS2, &t) != 0)
        return errno;
    return 0;
}

SerialTermios CSerialDevice::compose(const SerialTermios &current, const SerialLineSettings &line)
{
    SerialTermios t = current;

    // Input: bytes pass exactly as received. No CR/NL translation or
    // stripping to 7 bits; INPCK off so a byte with a parity error is still
    // delivered as it came; IGNBRK so a break condition inserts no NUL byte.
    t.iflag &= ~(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON | IXOFF | IXANY
                 | IMAXBEL | IUTF8 | INPCK | IGNPAR);
    t.iflag |= IGNBRK;
    // XON/XOFF both ways: IXON stops our output on XOFF, IXOFF sends XOFF
    // when the input buffer runs full.
    if (line.xonXoff)
        t.iflag |= IXON | IXOFF;

    // Output: no post-processing (no NL to CR NL), the bytes go out as sent.
    t.oflag &= ~OPOST;

    // No line editing, echo, signal characters or extended input processing:
    // every byte value is data.
    t.lflag &= ~(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE | ISIG | IEXTEN
                 | XCASE | TOSTOP | NOFLSH);

    t.cflag &= ~(CBAUD | CIBAUD | CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    // CREAD: enable the receiver. CLOCAL: carrier detect plays no part, so a
    // device without DCD neither blocks nor hangs us up. HUPCL: DTR and RTS
    // drop when the port is closed, telling the far end we are gone.
    t.cflag |= CREAD | CLOCAL | HUPCL;
    switch (line.dataBits) {
    case 5:
        t.cflag |= CS5;
        break;
    case 6:
        t.cflag |= CS6;
        break;
    case 7:
        t.cflag |= CS7;
        break;
    default:
        t.cflag |= CS8;
        break;
    }
    // With 5 data bits, UARTs send 1.5 stop bits for CSTOPB.
    if (line.stopBits == 2)
        t.cflag |= CSTOPB;
    if (line.parity == 'e')
        t.cflag |= PARENB;
    else if (line.parity == 'o')
        t.cflag |= PARENB | PARODD;
    // CRTSCTS: the driver holds output while CTS is low and drops RTS while
    // its input buffer is full.
    if (line.rtsCts)
        t.cflag |= CRTSCTS;

    // The same rate both ways; BOTHER takes the exact number from the speed
    // fields, so any rate the driver can generate works.
    const unsigned code = speedCode(line.baud);
    t.cflag |= code | (code << IBSHIFT);
    t.ispeed = static_cast<std::uint32_t>(line.baud);
    t.ospeed = static_cast<std::uint32_t>(line.baud);

    // poll() reports the first byte; the reader itself waits for the line to
    // go idle, so the driver adds no timer of its own.
    t.cc[VMIN] = 1;
    t.cc[VTIME] = 0;
    t.cc[VSTART] = 0x11; // DC1
    t.cc[VSTOP] = 0x13;  // DC3
    return t;
}

int CSerialDevice::raiseDtrRts(ModemLines &lines)
{
    lines = ModemLines::Present;
    const int err = switchModemLines(ModemBits::Dtr | ModemBits::Rts, true);
    if (isNoModemLinesError(err)) {
        lines = ModemLines::Absent;
        return 0;
    }
    return err;
}

int CSerialDevice::flushBoth()
{
    if (::ioctl(m_fd, TCFLSH, TCIOFLUSH) != 0)
        return errno;
    return 0;
}

void CSerialDevice::close()
{
    if (m_fd < 0)
        return;
    for (int waited = 0; waited < kCloseDrainMs; waited += kCloseDrainStepMs) {
        int queued = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kCloseDrainStepMs));
    }
    ::ioctl(m_fd, TCFLSH, TCOFLUSH);
    // The tty can outlive our descriptor (a pseudo-terminal lives as long as
    // its master); leave it open to others again.
    if (m_exclusive)
        ::ioctl(m_fd, TIOCNXCL);
    m_exclusive = false;
    ::close(m_fd);
    m_fd = -1;
}
