#include "ReceivedBlockQueue.h"

#include "platform/PortNotify.h"

#include <poll.h>

CReceivedBlockQueue &CReceivedBlockQueue::instance()
{
    static CReceivedBlockQueue queue;
    return queue;
}

void CReceivedBlockQueue::updateRoomLocked()
{
    // The event costs a system call; it is touched only when the state flips.
    const bool room = m_bytes < kLimitBytes;
    if (room == m_roomSet)
        return;
    m_roomSet = room;
    if (room)
        m_roomEvent.set();
    else
        m_roomEvent.reset();
}

void CReceivedBlockQueue::queue(const std::uint8_t *data, std::uint32_t length)
{
    QByteArray block(reinterpret_cast<const char *>(data), static_cast<qsizetype>(length));
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        m_bytes += block.size();
        m_blocks.push_back(std::move(block));
        updateRoomLocked();
        post = !m_notifyPending;
        m_notifyPending = true;
    }
    // Posted after the lock is released: nothing is called while it is held.
    if (post)
        postPortNotify(0);
}

bool CReceivedBlockQueue::waitForRoom(const CEvent &stop)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_bytes < kLimitBytes)
            return true;
    }
    for (;;) {
        pollfd p[2] = {{stop.fd(), POLLIN, 0}, {m_roomEvent.fd(), POLLIN, 0}};
        ::poll(p, 2, -1);
        if (p[0].revents & POLLIN)
            return false;
        std::lock_guard lock(m_mutex);
        if (m_bytes < kLimitBytes)
            return true;
    }
}

bool CReceivedBlockQueue::takeNext(QByteArray &block)
{
    std::lock_guard lock(m_mutex);
    if (m_blocks.empty()) {
        m_notifyPending = false;
        return false;
    }
    block = std::move(m_blocks.front());
    m_blocks.pop_front();
    m_bytes -= block.size();
    updateRoomLocked();
    return true;
}

void CReceivedBlockQueue::clear()
{
    std::deque<QByteArray> dropped;
    std::lock_guard lock(m_mutex);
    dropped.swap(m_blocks);
    m_bytes = 0;
    // A notification still on its way finds the queue empty and does nothing;
    // the next block must announce itself anew.
    m_notifyPending = false;
    updateRoomLocked();
}

void CReceivedBlockQueue::notificationDropped()
{
    std::lock_guard lock(m_mutex);
    m_notifyPending = false;
}

std::size_t CReceivedBlockQueue::queuedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

std::size_t CReceivedBlockQueue::queuedBlocks() const
{
    std::lock_guard lock(m_mutex);
    return m_blocks.size();
}

void QueueReceivedBlock(const std::uint8_t *data, std::uint32_t length)
{
    CReceivedBlockQueue::instance().queue(data, length);
}
