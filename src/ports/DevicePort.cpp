#include "DevicePort.h"

#include "platform/DeviceNode.h"
#include "platform/NodeWatch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace {
// How often a lost device's node is looked for; also the pace of the attempts
// to open it again once it is back, and of the look at the node of a running
// link where its folder cannot be watched.
constexpr int kDevicePollMs = 250;
// A read error that may pass (EIO from a printer) is tried again after this
// pause, and taken for the device's loss once it lasts this long.
constexpr int kRetryPauseMs = 50;
constexpr auto kErrorLimit = std::chrono::seconds(1);
} // namespace

void CDevicePort::DebugText(const char *text) const
{
    qCDebug(m_category, "%s", text);
}

bool CDevicePort::BeginOpen(int timeoutSec, std::uint32_t rxBufferSize, std::uint32_t readChunk)
{
    if (m_bWriterRunning || IsStarted())
        return false;
    Device().close();
    m_nTimeoutSec = timeoutSec;
    m_nRxBufferSize = rxBufferSize;
    m_nReadChunk = readChunk;
    m_nBlocksWritten = 0;
    return true;
}

bool CDevicePort::WriteBlock(const std::uint8_t *data, std::uint32_t length)
{
    const std::size_t end = length;
    return WriteRun(TxRun{{data, length}, {&end, 1}}) == 1;
}

std::size_t CDevicePort::WriteRun(TxRun blocks)
{
    const auto perBlock = std::chrono::seconds(std::max(m_nTimeoutSec, 0));
    BoundedWriteHooks hooks;
    hooks.gate = [this](std::chrono::steady_clock::time_point deadline) {
        return GateWrite(deadline);
    };
    hooks.blocksOut = [this](std::size_t n) {
        BlocksDone(n);
    };
    std::uint64_t unsent = 0;
    UnsentReason reason = UnsentReason::WriteFailed;
    CWriteCursor cursor(blocks);
    while (!cursor.atEnd()) {
        const BoundedWrite outcome
            = writeBounded(Device().fd(), cursor, *m_hStopEvent, perBlock, hooks);
        if (outcome == BoundedWrite::Written || outcome == BoundedWrite::Stopped)
            break; // what a stop cut short counts as done
        switch (outcome) {
        case BoundedWrite::Failed:
            DebugText("ERROR: WriteFile (in Writer)");
            reason = UnsentReason::LinkDown;
            break;
        case BoundedWrite::HungUp:
            DebugText("ERROR: GetOverlappedResult(in Writer)");
            reason = UnsentReason::LinkDown;
            break;
        default:
            DebugText("ERROR: Overlapped I/O Timeout\n");
            break;
        }
        if (FailedBlockEndsDrain())
            return cursor.block();
        // The writer goes on with the next block whatever became of this one:
        // a printer that took part of a job still gets the rest. The user
        // still hears of the block that did not go out.
        unsent += blocks.block(cursor.block()).size();
        BlocksDone(cursor.skipBlock());
    }
    if (unsent > 0)
        NoteUnsent(unsent, reason);
    return blocks.size();
}

void CDevicePort::ReaderLoop(std::uint8_t *buffer)
{
    using Clock = std::chrono::steady_clock;
    const CEvent &stop = *m_hStopEvent;
    CNodeWatch node;
    bool watched = node.watch(NodeInUse());
    // Since when reads fail (a streak of errors that are not the device's
    // loss by themselves), and how many reads in a row brought nothing.
    bool failing = false;
    Clock::time_point failingSince;
    int emptyReads = 0;
    for (;;) {
        if (!IsLinkUp()) {
            if (!AwaitDeviceNode())
                return;
            qCDebug(m_category, "%s is back", qPrintable(NodeInUse()));
            watched = node.watch(NodeInUse());
            failing = false;
            emptyReads = 0;
            continue;
        }
        // Waits on the device, the stop event and the node's folder together,
        // without a time-out while all is well.
        const int fd = Device().fd();
        pollfd p[3] = {{stop.fd(), POLLIN, 0}, {fd, POLLIN, 0}, {node.fd(), POLLIN, 0}};
        int r;
        do {
            r = ::poll(p, watched ? 3 : 2, watched ? -1 : kDevicePollMs);
        } while (r < 0 && errno == EINTR);
        if (p[0].revents & POLLIN)
            return;
        const char *lost = nullptr;
        if (r == 0 || p[2].revents) {
            if (p[2].revents) {
                node.clear();
                watched = node.fd() >= 0;
            }
            // A node removed while the device stays quiet reports no error of its own.
            if (!devicenode::stillOpenAt(NodeInUse(), fd))
                lost = "ERROR: ReadFile";
        }
        if (!lost && p[1].revents) {
            const short revents = p[1].revents;
            const bool hungUp = revents & (POLLHUP | POLLERR | POLLNVAL);
            const ssize_t n = Device().read(buffer, m_nReadChunk);
            const int err = n < 0 ? errno : 0;
            if (n > 0) {
                failing = false;
                emptyReads = 0;
                AppendReceived(buffer, ReadOn(buffer, static_cast<std::uint32_t>(n)));
                continue;
            }
            if (n == 0 && !hungUp) {
                // A zero-length transfer: nothing arrived. A device that
                // answers every read so is paced, so that it cannot spin.
                failing = false;
                if (++emptyReads > 1 && stop.wait(kRetryPauseMs))
                    return;
                continue;
            }
            if (err == EINTR || (err == EAGAIN && !hungUp))
                continue;
            if (hungUp || err == ENODEV || err == ENXIO || err == EAGAIN) {
                // Hung up (the far end of a pseudo-terminal closed) or no
                // such device any more: gone.
                lost = err == EAGAIN ? "ERROR: GetOverlappedResult (in Reader)\n"
                                     : "ERROR: ReadFile";
            } else {
                // Any other error (EIO from a printer) is tried again after a
                // pause; the device is gone when it lasts or its node went.
                const auto now = Clock::now();
                if (!failing) {
                    failing = true;
                    failingSince = now;
                    qCDebug(m_category, "%s: read failed (%s); trying again",
                            qPrintable(NodeInUse()), std::strerror(err));
                }
                if (now - failingSince < kErrorLimit && devicenode::stillOpenAt(NodeInUse(), fd)) {
                    if (stop.wait(kRetryPauseMs))
                        return;
                    continue;
                }
                lost = "ERROR: ReadFile";
            }
        }
        if (!lost)
            continue;
        // Said once; the device is let go, so that it keeps its name when it returns.
        DebugText(lost);
        OnLinkDropped();
        DropLink([this] { Device().close(); });
    }
}

bool CDevicePort::AwaitDeviceNode()
{
    for (;;) {
        if (m_hStopEvent->wait(kDevicePollMs))
            return false;
        if (!devicenode::present(FindNode())) {
            SetLinkState(LinkState::Lost);
            continue;
        }
        // The node may be back before it can be opened (permissions are set
        // a moment later); it is tried again at the same pace.
        SetLinkState(LinkState::Reconnecting);
        if (RestoreLink([this] { return Reopen(); }))
            return true;
    }
}
