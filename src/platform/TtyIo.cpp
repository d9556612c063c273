#include "TtyIo.h"

#include <cerrno>
#include <csignal>
#include <mutex>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

static_assert(ModemBits::Dtr == TIOCM_DTR && ModemBits::Rts == TIOCM_RTS
              && ModemBits::Cts == TIOCM_CTS && ModemBits::Dcd == TIOCM_CAR
              && ModemBits::Ri == TIOCM_RNG && ModemBits::Dsr == TIOCM_DSR);

namespace {

// The signal that ends a TIOCMIWAIT, which nothing else can end. Its default
// action is to ignore it, so a stray one never ends the program, and nothing
// else in the program uses it.
constexpr int kWakeSignal = SIGURG;

void onWakeSignal(int) {}

int ioctlResult(int r)
{
    return r == 0 ? 0 : errno;
}

// Unix98 pseudo-terminal slaves: majors 136 to 143.
bool isPseudoTerminal(int fd)
{
    struct stat st
    {
    };
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136
           && major(st.st_rdev) <= 143;
}

} // namespace

ssize_t CTtyIo::read(int fd, void *buffer, std::size_t size)
{
    return ::read(fd, buffer, size);
}

int CTtyIo::modemLines(int fd, int &bits)
{
    bits = 0;
    return ioctlResult(::ioctl(fd, TIOCMGET, &bits));
}

int CTtyIo::switchModemLines(int fd, int bits, bool up)
{
    return ioctlResult(::ioctl(fd, up ? TIOCMBIS : TIOCMBIC, &bits));
}

int CTtyIo::waitModemChange(int fd, int bits)
{
    return ioctlResult(::ioctl(fd, TIOCMIWAIT, static_cast<unsigned long>(bits)));
}

int CTtyIo::outputQueued(int fd, int &bytes)
{
    bytes = 0;
    return ioctlResult(::ioctl(fd, TIOCOUTQ, &bytes));
}

int CTtyIo::sendBreak(int fd)
{
    // The kernel takes a break on a pseudo-terminal and does nothing.
    if (isPseudoTerminal(fd))
        return EOPNOTSUPP;
    // TCSBRKP 0: 250 ms, after the output is drained.
    return ioctlResult(::ioctl(fd, TCSBRKP, 0));
}

CTtyIo &CTtyIo::system()
{
    static CTtyIo io;
    return io;
}

bool isNoModemLinesError(int err)
{
    return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP || err == ENOSYS;
}

void prepareTtyWaits()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action
        {
        };
        action.sa_handler = onWakeSignal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: the interrupted wait must return, not start again.
        action.sa_flags = 0;
        ::sigaction(kWakeSignal, &action, nullptr);
    });
}

void interruptTtyWait(pthread_t thread)
{
    prepareTtyWaits();
    ::pthread_kill(thread, kWakeSignal);
}
