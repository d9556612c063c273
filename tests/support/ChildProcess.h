#pragma once

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// A helper program started by a test (simulator, device, lock holder) dies with
// the test process, even one killed without destructors, so that ctest never
// waits on an orphan that keeps the test's output open.
inline void endWithTest(QProcess &process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) // the test died before the line above
            ::_exit(1);
    });
}
