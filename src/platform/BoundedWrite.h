#pragma once

#include "platform/Event.h"
#include "platform/WriteCursor.h"

#include <chrono>
#include <cstddef>
#include <functional>

// How a bounded write ended.
enum class BoundedWrite {
    Written,  // every byte is out
    Stopped,  // the stop event was set while waiting
    TimedOut, // no room before the deadline
    Failed,   // the write failed (the device is gone, an I/O error)
    HungUp,   // the device reported an error or hang-up while waiting for room
};

// What a bounded write asks and tells on its way.
struct BoundedWriteHooks
{
    // Asked before each system call: Written to go on, or how a wait it made
    // (up to the deadline) ended.
    std::function<BoundedWrite(std::chrono::steady_clock::time_point deadline)> gate;
    // Told of each `n` more blocks that are out.
    std::function<void(std::size_t n)> blocksOut;
};

// Writes the rest of a run of blocks to the nonblocking descriptor `fd`, as
// much as the device takes with each system call. Each block has `perBlock`
// from the moment the one before it went out; while the device takes nothing
// (its buffer full, flow control holding the line) the write waits for room
// together with `stop`. It ends at the first block that fails, where the
// cursor then stands.
BoundedWrite writeBounded(int fd, CWriteCursor &cursor, const CEvent &stop,
                          std::chrono::milliseconds perBlock, const BoundedWriteHooks &hooks = {});

// Milliseconds until `deadline`, 0 when it has passed; for poll() time-outs.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline);
