#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#if defined(__has_feature)
#define ORBA_HAS_FEATURE(x) __has_feature(x)
#else
#define ORBA_HAS_FEATURE(x) 0
#endif

// How much longer than usual a test may wait: code under a sanitizer runs
// several times slower. ORBA_TEST_DEADLINE_SCALE overrides it.
inline int deadlineScale()
{
    bool ok = false;
    const int fromEnv = qEnvironmentVariableIntValue("ORBA_TEST_DEADLINE_SCALE", &ok);
    if (ok && fromEnv > 0)
        return fromEnv;
#if defined(__SANITIZE_THREAD__) || ORBA_HAS_FEATURE(thread_sanitizer)
    return 10;
#elif defined(__SANITIZE_ADDRESS__) || ORBA_HAS_FEATURE(address_sanitizer)
    return 6;
#else
    return 1;
#endif
}

// A deadline of `ms` milliseconds as this build needs it.
inline int scaledDeadline(int ms)
{
    return ms * deadlineScale();
}

// Lets the event loop run until `done` holds or `ms` (scaled) pass; returns whether it holds.
template<typename Pred>
bool eventually(Pred done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    const qint64 limit = qint64(ms) * deadlineScale();
    while (!done() && t.elapsed() < limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Lets the event loop run until `done` holds; gives up only when `progress`
// (any value that grows while work goes on) has stood still for `idleMs`.
// For long runs whose speed depends on the machine (sanitizers, load).
template<typename Pred, typename Progress>
bool eventuallyWhileProgressing(Pred done, Progress progress, int idleMs = 20000)
{
    QElapsedTimer idle;
    idle.start();
    auto last = progress();
    while (!done() && idle.elapsed() < idleMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const auto now = progress();
        if (now != last) {
            last = now;
            idle.restart();
        }
    }
    return done();
}
