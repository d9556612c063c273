#pragma once

#include <cstddef>

#include <pthread.h>
#include <sys/types.h>

// The modem lines, by the kernel's TIOCM_* bits.
namespace ModemBits {
enum : int {
    Dtr = 0x002,
    Rts = 0x004,
    Cts = 0x020,
    Dcd = 0x040,
    Ri = 0x080,
    Dsr = 0x100,
    Inputs = Cts | Dcd | Ri | Dsr,
};
}

// The calls a device link makes on its descriptor besides poll() and write():
// reading, the modem lines and the break. Tests put their own in place to
// play a device with modem lines, or one whose reads fail, without hardware.
// read() is read(2); the others return 0 or the errno of the failure.
class CTtyIo
{
public:
    virtual ~CTtyIo() = default;

    virtual ssize_t read(int fd, void *buffer, std::size_t size);
    // The state of every line (TIOCMGET).
    virtual int modemLines(int fd, int &bits);
    // Raises (`up`) or drops the output lines in `bits` (TIOCMBIS, TIOCMBIC).
    virtual int switchModemLines(int fd, int bits, bool up);
    // Blocks until one of the input lines in `bits` changes (TIOCMIWAIT);
    // EINTR once interruptTtyWait() was called for the waiting thread.
    virtual int waitModemChange(int fd, int bits);
    // Bytes the driver still holds for sending (TIOCOUTQ).
    virtual int outputQueued(int fd, int &bytes);
    // A break of 250 ms, once what the driver holds is sent; EOPNOTSUPP for
    // a pseudo-terminal, which has no line to send it on.
    virtual int sendBreak(int fd);

    // The system calls themselves.
    static CTtyIo &system();
};

// The errno of a modem-line call on a device that has no modem lines (a
// pseudo-terminal, some adapters).
bool isNoModemLinesError(int err);

// Makes a thread's waitModemChange() end with EINTR. The wait may begin just
// after the call; so a caller calls it again until the thread says it left.
void interruptTtyWait(pthread_t thread);
// Called by a thread before its first waitModemChange(), so that
// interruptTtyWait() reaches it.
void prepareTtyWaits();
