#pragma once

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <chrono>

#include <sys/resource.h>

// Whether the next `retries` times that `text` is logged come at a calm pace:
// the whole process uses less than half a core meanwhile, where a thread
// spinning on a dead device would use a whole one.
inline ::testing::AssertionResult retriedCalmly(const LogCapture &log, const QString &text,
                                                int retries = 10)
{
    const auto cpuNow = [] {
        rusage u{};
        ::getrusage(RUSAGE_SELF, &u);
        return std::chrono::microseconds((u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000LL
                                         + u.ru_utime.tv_usec + u.ru_stime.tv_usec);
    };
    const auto wall0 = std::chrono::steady_clock::now();
    const auto cpu0 = cpuNow();
    if (!log.waitFor(text, log.count(text) + retries, 30000))
        return ::testing::AssertionFailure() << "fewer than " << retries << " retries";
    const auto cpu = cpuNow() - cpu0;
    const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - wall0);
    if (cpu * 2 < wall)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "cpu " << cpu.count() << " us in " << wall.count() << " us";
}
