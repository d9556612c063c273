#pragma once

#include "platform/Event.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

// The process-wide queue through which port threads hand received bytes to the
// user-interface thread. Blocks leave it in arrival order, each exactly once.
//
// The queue is bounded: while it holds more than kLimitBytes, reader threads
// wait in waitForRoom() (ending at once on their stop event) until the display
// has caught up, so a fast sender cannot exhaust memory and no byte is dropped.
//
// A notification is posted when a block arrives while none is outstanding; the
// consumer shows blocks until the queue is empty (see takeNext()), so a flood
// costs one posted event per burst instead of one per block.
class CReceivedBlockQueue final
{
public:
    static constexpr std::size_t kLimitBytes = 8u * 1024u * 1024u;

    static CReceivedBlockQueue &instance();

    // Any thread. Copies the bytes, queues them and notifies the main window.
    void queue(const std::uint8_t *data, std::uint32_t length);
    // Reader threads, before queue(): false when `stop` was set while waiting.
    bool waitForRoom(const CEvent &stop);

    // UI thread. Takes the oldest block into `block`; false when the queue is
    // empty, which also ends the outstanding notification.
    bool takeNext(QByteArray &block);
    // UI thread. Removes every queued block.
    void clear();
    // UI thread: when the consumer gives up before the queue is empty (no view,
    // or it yields to keep the window responsive), it either re-posts or calls this.
    void notificationDropped();

    std::size_t queuedBytes() const;
    std::size_t queuedBlocks() const;

private:
    CReceivedBlockQueue() { m_roomEvent.set(); }
    void updateRoomLocked();

    mutable std::mutex m_mutex;
    std::deque<QByteArray> m_blocks;
    std::size_t m_bytes = 0;
    bool m_notifyPending = false;
    CEvent m_roomEvent;    // set while the queue is below its limit
    bool m_roomSet = true; // the state of m_roomEvent, changed only on a transition
};

// The free functions of the display queue.
void QueueReceivedBlock(const std::uint8_t *data, std::uint32_t length);
