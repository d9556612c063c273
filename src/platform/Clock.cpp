#include "Clock.h"

#include <QDateTime>

namespace {
std::function<LocalTime()> &testClock()
{
    static std::function<LocalTime()> clock;
    return clock;
}
} // namespace

LocalTime currentLocalTime()
{
    if (testClock())
        return testClock()();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

void setClockForTesting(std::function<LocalTime()> clock)
{
    testClock() = std::move(clock);
}
