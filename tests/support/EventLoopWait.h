#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets the event loop run until `done` holds or `ms` pass; returns whether it holds.
template<typename Pred>
bool eventually(Pred done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
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
