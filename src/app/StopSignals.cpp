#include "StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Written by the handler: only what is safe in a signal handler.
volatile sig_atomic_t g_writeFd = -1;

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char n = static_cast<unsigned char>(signal);
    if (g_writeFd >= 0)
        static_cast<void>(::write(g_writeFd, &n, 1));
    errno = saved;
}

void handle(int signal, void (*handler)(int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the next signal of the kind takes its default course.
    action.sa_flags = SA_RESTART | (handler == SIG_DFL ? 0 : SA_RESETHAND);
    ::sigaction(signal, &action, nullptr);
}
} // namespace

CStopSignals::CStopSignals(QObject *parent)
    : QObject(parent)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the default handling stays: the signals end the program
    m_readFd = fds[0];
    g_writeFd = fds[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CStopSignals::readPipe);
    handle(SIGINT, onSignal);
    handle(SIGTERM, onSignal);
}

CStopSignals::~CStopSignals()
{
    if (m_readFd < 0)
        return;
    handle(SIGINT, SIG_DFL);
    handle(SIGTERM, SIG_DFL);
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(m_readFd);
}

void CStopSignals::readPipe()
{
    unsigned char n = 0;
    while (::read(m_readFd, &n, 1) == 1)
        emit received(n);
}
