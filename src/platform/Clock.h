#pragma once

#include <functional>

// Local time with milliseconds, for timestamps and the status panes.
struct LocalTime
{
    int year = 0;
    int month = 0; // 1-12
    int day = 0;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LocalTime currentLocalTime();

// Tests replace the clock; an empty function restores the real one.
void setClockForTesting(std::function<LocalTime()> clock);
