#pragma once

#include "platform/TtyIo.h"

#include <QString>

#include <cstdint>

// The line settings of a tty in the kernel's own terms (struct termios2), so
// that callers need neither <termios.h> nor <asm/termbits.h>; the two headers
// cannot be included together. The flag values are the kernel's.
struct SerialTermios
{
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint8_t line = 0;
    std::uint8_t cc[19] = {};
    std::uint32_t ispeed = 0;
    std::uint32_t ospeed = 0;
};

// What a serial line is asked to do.
struct SerialLineSettings
{
    int baud = 19200;
    int dataBits = 8;  // 5 to 8
    char parity = 'n'; // 'n', 'e' or 'o'
    int stopBits = 1;  // 1 or 2
    bool xonXoff = false;
    bool rtsCts = false;
};

// A serial device opened for nonblocking I/O and held exclusively. Every call
// returns 0 or the errno of the call that failed.
class CSerialDevice final
{
public:
    enum class ModemLines { Present, Absent };

    CSerialDevice() = default;
    ~CSerialDevice() { close(); }
    CSerialDevice(const CSerialDevice &) = delete;
    CSerialDevice &operator=(const CSerialDevice &) = delete;

    // Opens the device and locks it against every other user that honours
    // flock() or the tty's exclusive mode. EBUSY when someone else holds it.
    int open(const QString &path);
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    // ENOTTY when the file is not a terminal.
    int readTermios(SerialTermios &termios) const;
    int writeTermios(const SerialTermios &termios);

    // Raw mode with the given line settings, everything else kept from `current`.
    static SerialTermios compose(const SerialTermios &current, const SerialLineSettings &line);

    // Raises DTR and RTS. Absent (and 0) on devices without modem lines, like
    // pseudo-terminals.
    int raiseDtrRts(ModemLines &lines);

    // The calls below go through the device's CTtyIo (see there).
    ssize_t read(void *buffer, std::size_t size) { return m_io->read(m_fd, buffer, size); }
    int modemLines(int &bits) const { return m_io->modemLines(m_fd, bits); }
    int switchModemLines(int bits, bool up) { return m_io->switchModemLines(m_fd, bits, up); }
    int waitModemChange(int bits) const { return m_io->waitModemChange(m_fd, bits); }
    int outputQueued(int &bytes) const { return m_io->outputQueued(m_fd, bytes); }
    int sendBreak() { return m_io->sendBreak(m_fd); }
    // Replaces the system calls (tests); null puts them back. Kept across opens.
    void setIo(CTtyIo *io) { m_io = io ? io : &CTtyIo::system(); }

    // Discards what is queued in both directions.
    int flushBoth();

    // Gives the driver a short while to send what it holds, discards the rest
    // and closes; never blocks for long. Harmless when not open.
    void close();

private:
    int m_fd = -1;
    bool m_exclusive = false;
    CTtyIo *m_io = &CTtyIo::system();
};
