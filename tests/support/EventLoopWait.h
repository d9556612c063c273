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
