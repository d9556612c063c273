#include "PortEngine.h"

#include "ports/ReceivedBlockQueue.h"
#include "platform/Logging.h"
#include "platform/PortNotify.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <pthread.h>

CPortEngine::~CPortEngine()
{
    // Derived destructors close their link first; this only catches threads
    // that must never outlive the object.
    StopThreads();
}

bool CPortEngine::Start()
{
    if (m_bWriterRunning || IsStarted() || !CanStart())
        return false;

    auto dataEvent = std::make_unique<CEvent>();
    auto stopEvent = std::make_unique<CEvent>();
    if (!dataEvent->isValid() || !stopEvent->isValid())
        return false;
    m_pRxBuffer.assign(m_nRxBufferSize, 0);
    m_nRxCount = 0;
    m_hDataEvent = std::move(dataEvent);
    m_hStopEvent = std::move(stopEvent);
    m_nLinkLosses = 0;
    SetLinkState(LinkState::Connected, false);
    OnStarted();

    m_writerFinished = false;
    m_readerFinished = false;
    try {
        m_pWriterThread = std::thread(&CPortEngine::WriterThread, this);
    } catch (const std::system_error &) {
        Close();
        return false;
    }
    try {
        m_pReaderThread = std::thread(&CPortEngine::ReaderThread, this);
    } catch (const std::system_error &) {
        Close();
        return false;
    }
    return true;
}

int CPortEngine::Write(const void *data, int length, std::uint32_t *written, const TxPacing &pacing)
{
    if (!IsStarted()) {
        if (written)
            *written = 0xFFFFFFFFu;
        if (length > 0)
            NoteUnsent(static_cast<std::uint64_t>(length), UnsentReason::NotStarted);
        return 0;
    }
    if (length > 0 && !IsLinkUp()) {
        // Bytes held back until the link is back would go out later to
        // whoever is there then, the tail of a file without its head.
        if (written)
            *written = 0;
        NoteUnsent(static_cast<std::uint64_t>(length), UnsentReason::LinkDown);
        return 0;
    }
    if (length < 1) {
        m_hDataEvent->set();
        if (written)
            *written = static_cast<std::uint32_t>(length);
        return 0;
    }
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    const auto ms = [](int value) {
        return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
    };
    const std::uint16_t charDelay = ms(pacing.charDelayMs);
    const std::uint16_t pauseAfter = std::max(charDelay, ms(pacing.pauseAfterMs));
    int blocks = 0;
    for (int offset = 0; offset < length; offset += TxBlock::kMaxLength) {
        TxBlock block;
        block.length
            = static_cast<std::uint32_t>(std::min<int>(TxBlock::kMaxLength, length - offset));
        std::memcpy(block.data, bytes + offset, block.length);
        // Between two blocks of one send the bytes keep their spacing.
        block.charDelayMs = charDelay;
        block.pauseAfterMs
            = offset + static_cast<int>(block.length) >= length ? pauseAfter : charDelay;
        std::lock_guard lock(m_csTxQueue);
        m_txQueue.push_back(block);
        ++m_nQueuedBlocks;
        m_nBlocksWritten = 0;
        ++blocks;
    }
    m_hDataEvent->set();
    if (written)
        *written = static_cast<std::uint32_t>(length);
    return blocks;
}

void CPortEngine::WriterThread()
{
    // Named so that the port's threads can be told apart in /proc and top.
    ::pthread_setname_np(::pthread_self(), "orba-writer");
    m_bWriterRunning = true;
    for (;;) {
        // No time-out: an idle link costs no wake-ups.
        pollfd p[2] = {{m_hDataEvent->fd(), POLLIN, 0}, {m_hStopEvent->fd(), POLLIN, 0}};
        if (::poll(p, 2, -1) <= 0)
            continue;
        // Data before stop, so that blocks queued just before a stop still go out.
        if (p[0].revents & POLLIN) {
            Drain();
            std::lock_guard link(m_csLink);
            AfterDrain();
            continue;
        }
        if (p[1].revents & POLLIN)
            break;
    }
    m_bWriterRunning = false;
    {
        std::lock_guard lock(m_finishMutex);
        m_writerFinished = true;
    }
    m_finished.notify_all();
}

namespace {
// The most blocks handed to the link at once: a flood goes out in runs of up
// to 255 KiB, a lone block on its own.
constexpr std::size_t kMaxRunBlocks = 1024;
} // namespace

void CPortEngine::Drain()
{
    // The queue lock is held only to look at the queue, never while the link
    // writes, so a Write from the window never waits for a slow line.
    bool allWritten = true;
    std::uint64_t unsent = 0;
    UnsentReason reason = UnsentReason::WriteFailed;
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> ends;
    bytes.reserve(kMaxRunBlocks * TxBlock::kMaxLength);
    ends.reserve(kMaxRunBlocks);
    for (;;) {
        bytes.clear();
        ends.clear();
        TxBlock paced;
        {
            std::lock_guard lock(m_csTxQueue);
            if (m_txQueue.empty()) {
                if (!allWritten) {
                    std::lock_guard link(m_csLink);
                    OnDrainFailed();
                }
                m_hDataEvent->reset();
                break;
            }
            // The blocks stay queued, and pending, until they are written: a
            // send that waits for the queue to empty ends once its last bytes
            // are out. A run ends before a paced block, which goes alone.
            if (m_txQueue.front().paced())
                paced = m_txQueue.front();
            const std::size_t n = std::min(m_txQueue.size(), kMaxRunBlocks);
            for (std::size_t i = 0; i < n && !m_txQueue[i].paced(); ++i) {
                const TxBlock &block = m_txQueue[i];
                bytes.insert(bytes.end(), block.data, block.data + block.length);
                ends.push_back(bytes.size());
            }
        }
        if (ends.empty()) {
            if (!WritePaced(paced, allWritten, unsent, reason)) {
                DropQueueAfterStop(unsent);
                return;
            }
            std::lock_guard lock(m_csTxQueue);
            m_txQueue.pop_front();
            --m_nQueuedBlocks;
            continue;
        }
        const TxRun run{bytes, ends};
        m_nRunBlocksDone = 0;
        {
            std::lock_guard link(m_csLink);
            if (!IsLinkUp()) {
                unsent += bytes.size();
                reason = UnsentReason::LinkDown;
            } else if (!allWritten) {
                unsent += bytes.size();
            } else if (const std::size_t done = WriteRun(run); done < run.size()) {
                allWritten = false;
                unsent += bytes.size() - run.begin(done);
                if (!IsLinkUp())
                    reason = UnsentReason::LinkDown;
            }
        }
        {
            std::lock_guard lock(m_csTxQueue);
            m_txQueue.erase(m_txQueue.begin(), m_txQueue.begin() + std::ptrdiff_t(run.size()));
            m_nQueuedBlocks -= run.size();
        }
        // Blocks given up count as done too, so that progress reaches its end.
        BlocksDone(run.size() - std::min(m_nRunBlocksDone, run.size()));
    }
    if (unsent > 0)
        NoteUnsent(unsent, reason);
}

bool CPortEngine::WritePaced(const TxBlock &block, bool &allWritten, std::uint64_t &unsent,
                             UnsentReason &reason)
{
    // Every pause ends at once on a stop: a paced send must not hold it up.
    const auto stoppedDuring = [this](int ms) {
        return ms > 0 && m_hStopEvent->wait(ms);
    };
    if (StopRequested()) {
        unsent += block.length;
        return false;
    }
    const std::uint32_t step = block.charDelayMs > 0 ? 1 : block.length;
    std::uint32_t done = 0;
    // After a failed block the rest of the drain is dropped, as unpaced.
    bool goingOut = allWritten;
    while (goingOut && done < block.length) {
        if (done > 0 && stoppedDuring(block.charDelayMs)) {
            unsent += block.length - done;
            return false;
        }
        const std::uint32_t n = std::min(step, block.length - done);
        m_bPacedBytes = true;
        {
            // Held for the byte only, never during a pause, so that a link
            // being replaced never waits for the pacing.
            std::lock_guard link(m_csLink);
            const std::size_t end = n;
            if (!IsLinkUp()) {
                reason = UnsentReason::LinkDown;
                goingOut = false;
            } else if (WriteRun(TxRun{{block.data + done, n}, {&end, 1}}) < 1) {
                allWritten = goingOut = false;
                if (!IsLinkUp())
                    reason = UnsentReason::LinkDown;
            }
        }
        m_bPacedBytes = false;
        if (goingOut)
            done += n;
    }
    unsent += block.length - done;
    // Given up or not, it is done, so that progress reaches its end.
    ++m_nBlocksWritten;
    return done < block.length || !stoppedDuring(block.pauseAfterMs);
}

void CPortEngine::DropQueueAfterStop(std::uint64_t unsent)
{
    {
        std::lock_guard lock(m_csTxQueue);
        // The block under way is in `unsent` already, as far as it did not go.
        for (std::size_t i = 1; i < m_txQueue.size(); ++i)
            unsent += m_txQueue[i].length;
        m_txQueue.clear();
        m_nQueuedBlocks = 0;
        m_hDataEvent->reset();
    }
    if (unsent > 0)
        NoteUnsent(unsent, IsLinkUp() ? UnsentReason::NotStarted : UnsentReason::LinkDown);
}

std::size_t CPortEngine::WriteRun(TxRun blocks)
{
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto block = blocks.block(i);
        if (!WriteBlock(block.data(), static_cast<std::uint32_t>(block.size())))
            return i;
        BlocksDone(1);
    }
    return blocks.size();
}

void CPortEngine::BlocksDone(std::size_t n)
{
    if (m_bPacedBytes)
        return; // a paced block counts once, when all its bytes are dealt with
    m_nRunBlocksDone += n;
    m_nBlocksWritten += static_cast<int>(n);
}

void CPortEngine::ReaderThread()
{
    ::pthread_setname_np(::pthread_self(), "orba-reader");
    std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(m_nReadChunk, 1));
    m_bReaderRunning = true;
    ReaderLoop(buffer.data());
    m_bReaderRunning = false;
    {
        std::lock_guard lock(m_finishMutex);
        m_readerFinished = true;
    }
    m_finished.notify_all();
}

void CPortEngine::AppendReceived(const std::uint8_t *bytes, std::uint32_t n)
{
    std::lock_guard lock(m_csRxBuffer);
    const std::uint32_t room = m_nRxBufferSize > m_nRxCount ? m_nRxBufferSize - m_nRxCount : 0;
    const std::uint32_t copied = std::min(n, room);
    if (copied > 0)
        std::memcpy(m_pRxBuffer.data() + m_nRxCount, bytes, copied);
    m_nRxCount += copied;
    FlushReceived();
}

void CPortEngine::FlushReceived()
{
    if (m_nRxCount == 0 || !portNotifyTargetHasView())
        return;
    CReceivedBlockQueue &queue = CReceivedBlockQueue::instance();
    // Wait while the display is behind; a stop ends the wait and the staged
    // bytes are released with the port.
    if (!queue.waitForRoom(*m_hStopEvent))
        return;
    queue.queue(m_pRxBuffer.data(), m_nRxCount);
    m_nRxCount = 0;
}

void CPortEngine::SetLinkState(LinkState state, bool announce)
{
    const LinkState before = m_linkState.exchange(state);
    if (before == state)
        return;
    if (before == LinkState::Connected
        && (state == LinkState::Lost || state == LinkState::Reconnecting))
        ++m_nLinkLosses;
    if (announce)
        postPortNotify(PortNotifyCode::LinkStateChanged);
}

void CPortEngine::DropLink(const std::function<void()> &drop)
{
    // Lost first: Write refuses from here on and the writer drops what it
    // finds, so the lock below is never held for long.
    SetLinkState(LinkState::Lost);
    std::lock_guard link(m_csLink);
    drop();
}

bool CPortEngine::RestoreLink(const std::function<bool()> &reopen)
{
    std::lock_guard link(m_csLink);
    if (!reopen())
        return false;
    SetLinkState(LinkState::Connected);
    return true;
}

void CPortEngine::NoteUnsent(std::uint64_t bytes, UnsentReason reason)
{
    m_unsentReason = reason;
    m_nUnsentBytes += bytes;
    postPortNotify(PortNotifyCode::NotSent);
}

std::uint64_t CPortEngine::TakeUnsentBytes(UnsentReason *reason)
{
    if (reason)
        *reason = m_unsentReason.load();
    return m_nUnsentBytes.exchange(0);
}

bool CPortEngine::JoinWithTimeout(std::thread &thread, std::atomic<bool> &finished)
{
    if (!thread.joinable())
        return true;
    bool inTime;
    {
        std::unique_lock lock(m_finishMutex);
        inTime = m_finished.wait_for(lock, std::chrono::milliseconds(StopTimeoutMs()),
                                     [&] { return finished.load(); });
    }
    if (!inTime)
        qCWarning(lcPorts, "port thread did not end within %d ms; still waiting", StopTimeoutMs());
    // Always joined: the thread uses this object, so it must end before the
    // object's buffers go. Every wait in a port thread includes the stop event.
    thread.join();
    return inTime;
}

void CPortEngine::StopThreads()
{
    if (!m_hStopEvent)
        return;
    {
        std::lock_guard lock(m_csTxQueue);
        m_hStopEvent->set();
    }
    JoinWithTimeout(m_pReaderThread, m_readerFinished);
    JoinWithTimeout(m_pWriterThread, m_writerFinished);
    m_hStopEvent->reset();
}

bool CPortEngine::Close()
{
    StopThreads();
    m_bWriterRunning = false;
    m_bReaderRunning = false;
    TeardownLink();
    m_hDataEvent.reset();
    m_hStopEvent.reset();
    {
        std::lock_guard lock(m_csTxQueue);
        // Left only by a writer that did not end in time.
        std::uint64_t unsent = 0;
        for (const TxBlock &block : m_txQueue)
            unsent += block.length;
        if (unsent > 0)
            NoteUnsent(unsent, IsLinkUp() ? UnsentReason::WriteFailed : UnsentReason::LinkDown);
        m_txQueue.clear();
        m_txQueue.shrink_to_fit();
        m_nQueuedBlocks = 0;
    }
    {
        std::lock_guard lock(m_csRxBuffer);
        m_pRxBuffer.clear();
        m_pRxBuffer.shrink_to_fit();
        m_nRxCount = 0;
    }
    m_nRxBufferSize = 0;
    SetLinkState(LinkState::Idle, false);
    return true;
}
