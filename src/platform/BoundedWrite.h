#pragma once

#include "platform/Event.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <span>

#include <sys/uio.h>

// How a bounded write ended.
enum class BoundedWrite {
    Written,  // every byte is out
    Stopped,  // the stop event was set while waiting
    TimedOut, // no room before the deadline
    Failed,   // the write failed (the device is gone, an I/O error)
    HungUp,   // the device reported an error or hang-up while waiting for room
};

// Where a write of several blocks ended: how, and at which block (the one
// that failed, or the block count when all are out).
struct BoundedWriteEnd
{
    BoundedWrite outcome = BoundedWrite::Written;
    std::size_t block = 0;
};

// What a bounded write of several blocks asks and tells on its way.
struct BoundedWriteHooks
{
    // Asked before each system call: Written to go on, or how a wait it made
    // (up to the deadline) ended.
    std::function<BoundedWrite(std::chrono::steady_clock::time_point deadline)> gate;
    // Told of each `n` more blocks that are out.
    std::function<void(std::size_t n)> blocksOut;
};

// Writes `blocks` one after the other to the nonblocking descriptor `fd`, with
// as few system calls as the device allows (writev). Each block has
// `perBlock` from the moment the one before it went out; while the device
// takes nothing (its buffer full, flow control holding the line) the write
// waits for room together with `stop`. At the first block that fails it stops.
BoundedWriteEnd writeBlocksBounded(int fd, std::span<const iovec> blocks, const CEvent &stop,
                                   std::chrono::milliseconds perBlock,
                                   const BoundedWriteHooks &hooks = {});

// Milliseconds until `deadline`, 0 when it has passed; for poll() time-outs.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline);
