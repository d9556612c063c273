#include "SimPty.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {
volatile sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}
} // namespace

void catchStopSignals()
{
    struct sigaction sa
    {
    };
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

bool stopRequested()
{
    return g_stop != 0;
}

SimPty::~SimPty()
{
    if (!link.empty())
        ::unlink(link.c_str());
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
}

bool SimPty::open(bool nonblocking, const std::string &linkPath, std::string &failed)
{
    failed = "pseudo-terminal";
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | (nonblocking ? O_NONBLOCK : 0));
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return false;
    path = ::ptsname(master);
    slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave < 0 || ::tcgetattr(slave, &raw) != 0) {
        failed = path;
        return false;
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(path.c_str(), linkPath.c_str()) != 0) {
            failed = linkPath;
            return false;
        }
        link = linkPath;
    }
    return true;
}
