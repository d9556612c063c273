#pragma once

#include "platform/Event.h"

#include <chrono>
#include <cstdint>

// How a bounded write ended.
enum class BoundedWrite {
    Written,  // every byte is out
    Stopped,  // the stop event was set while waiting for room
    TimedOut, // no room before the deadline
    Failed,   // the write failed (the device is gone, an I/O error)
    HungUp,   // the device reported an error or hang-up while waiting for room
};

// Writes all `length` bytes to the nonblocking descriptor `fd`. While the
// device takes nothing (its buffer full, flow control holding the line) it
// waits for room together with `stop`, at most until `deadline`.
BoundedWrite writeBounded(int fd, const std::uint8_t *data, std::uint32_t length,
                          const CEvent &stop, std::chrono::steady_clock::time_point deadline);

// Milliseconds until `deadline`, 0 when it has passed; for poll() time-outs.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline);
