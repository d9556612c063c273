#pragma once

#include "platform/Event.h"
#include "platform/WriteCursor.h"
#include "ports/LinkState.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// How the writer paces a send: a pause between two of its bytes, and one
// after its last byte (at least as long as the first).
struct TxPacing
{
    int charDelayMs = 0;
    int pauseAfterMs = 0;

    bool paced() const { return charDelayMs > 0 || pauseAfterMs > 0; }
};

// One element of the transmit queue.
struct TxBlock
{
    static constexpr std::uint32_t kMaxLength = 255;
    std::uint32_t length = 0;
    // A paced block goes out byte by byte, `charDelayMs` apart, and the
    // writer waits `pauseAfterMs` after its last byte.
    std::uint16_t charDelayMs = 0;
    std::uint16_t pauseAfterMs = 0;
    std::uint8_t data[kMaxLength];

    bool paced() const { return charDelayMs != 0 || pauseAfterMs != 0; }
};

// Blocks that were queued together and go to the link at once, laid end to
// end in their order and cut.
using TxRun = BlockRun;

// The engine every port kind runs on: a transmit queue of TxBlocks drained by a
// writer thread, and a reader thread that stages received bytes and hands them
// to the received-block queue of the display.
//
// A port kind derives from it and provides its own Open (which must refuse
// while the writer runs), IsOpen, the reader loop, the writing of one block and
// the teardown of its link; its destructor must call Close().
//
// Nothing handed to Write is lost without a word: while the link is down,
// Write refuses and the writer drops what is queued, and the bytes are counted
// and announced (NotSent) for the window to tell the user. A link kind that
// can heal (a device node, a TCP client) drops its link with DropLink, brings
// it back with RestoreLink, and the state changes are announced
// (LinkStateChanged).
//
// The writer hands the link every block that is queued when it looks, as one
// run (WriteRun), so that a flood costs one system call per run instead of
// one per block; the blocks keep their cut, their count and their rules.
// Paced blocks go alone, byte by byte with their pauses, which a stop ends
// at once (what was left is told as not sent).
class CPortEngine
{
public:
    CPortEngine() = default;
    virtual ~CPortEngine();
    CPortEngine(const CPortEngine &) = delete;
    CPortEngine &operator=(const CPortEngine &) = delete;

    // Creates the transmit queue, the staging buffer, the events and both
    // threads. False while running, or when the link kind refuses (CanStart).
    bool Start();
    // Queues a copy of the bytes in blocks of at most 255 bytes and returns the
    // number of blocks; `written` receives the bytes accepted (all bits set when
    // the port is not started). While the link is down nothing is queued: the
    // result is 0 and the bytes count as not sent. `pacing` spaces the bytes
    // out and pauses after the last one; a later Write waits behind it.
    int Write(const void *data, int length, std::uint32_t *written = nullptr,
              const TxPacing &pacing = {});
    bool IsWritePending() const { return m_nQueuedBlocks.load() != 0; }
    int GetBlocksWritten() const { return m_nBlocksWritten.load(); }
    virtual bool IsOpen() const = 0;
    // Stops both threads, tears the link down and releases everything; valid in
    // every state and always true.
    bool Close();

    bool IsStarted() const { return m_hStopEvent != nullptr; }
    // The device the link runs on, as messages about the link name it; empty
    // where the settings name it well enough.
    virtual QString LinkName() const { return {}; }

    LinkState GetLinkState() const { return m_linkState.load(); }
    // Whether the handshake holds sending back right now (serial links only).
    virtual HandshakeHold GetHandshakeHold() const { return HandshakeHold::None; }
    // How often the link was lost since Start.
    int GetLinkLosses() const { return m_nLinkLosses.load(); }
    // The bytes that were not sent since the last call, and why (the reason
    // of the latest of them).
    std::uint64_t TakeUnsentBytes(UnsentReason *reason = nullptr);

protected:
    // Writes one block; false when it failed, which makes the writer drop the
    // rest of this drain and call OnDrainFailed() at its end.
    virtual bool WriteBlock(const std::uint8_t *data, std::uint32_t length) = 0;
    // Writes the blocks of a run, in as few system calls as the link allows,
    // each block under the rules of WriteBlock, and calls BlocksDone as blocks
    // are dealt with. Returns the blocks dealt with before one failed (that
    // one and the rest count as failed), the run's size when none did. By
    // default block by block through WriteBlock.
    virtual std::size_t WriteRun(TxRun blocks);
    // Progress within a run: `n` more of its blocks are dealt with. Writer
    // thread.
    void BlocksDone(std::size_t n);
    virtual void OnDrainFailed() {}
    // Called by the writer once the queue is empty, with the link held, for
    // work that goes after what was queued before it (WakeWriter asks for it).
    virtual void AfterDrain() {}
    void WakeWriter()
    {
        if (m_hDataEvent)
            m_hDataEvent->set();
    }
    // Body of the reader thread: reads into `buffer` (m_nReadChunk bytes) and
    // calls AppendReceived until m_hStopEvent is set.
    virtual void ReaderLoop(std::uint8_t *buffer) = 0;
    virtual void TeardownLink() = 0;
    // How long StopThreads waits for each thread before it reports a hang.
    virtual int StopTimeoutMs() const = 0;
    // Further conditions of Start (for example a connected socket).
    virtual bool CanStart() const { return true; }
    // Called by Start once the staging buffer exists.
    virtual void OnStarted() {}
    // Tells the running threads to end and waits for them.
    void StopThreads();

    void AppendReceived(const std::uint8_t *bytes, std::uint32_t n);
    void FlushReceived();

    bool StopRequested() const { return m_hStopEvent && m_hStopEvent->isSet(); }

    bool IsLinkUp() const { return m_linkState.load() == LinkState::Connected; }
    // Changes the state; `announce` posts LinkStateChanged when it changed.
    void SetLinkState(LinkState state, bool announce = true);
    // The link is gone: from now on writes are refused and queued blocks
    // dropped; `drop` (which releases the link) runs when the writer is not
    // using it. Reader thread.
    void DropLink(const std::function<void()> &drop);
    // Puts a new link in place: `reopen` runs when the writer is not using
    // the old one; when it succeeds the link is Connected. Reader thread.
    bool RestoreLink(const std::function<bool()> &reopen);
    // Counts bytes that will never go out and announces them.
    void NoteUnsent(std::uint64_t bytes, UnsentReason reason);

    std::atomic<bool> m_bWriterRunning{false};
    std::atomic<bool> m_bReaderRunning{false};
    std::uint32_t m_nRxBufferSize = 0;
    std::uint32_t m_nReadChunk = 64;
    int m_nTimeoutSec = 5;
    std::atomic<int> m_nBlocksWritten{0};
    std::unique_ptr<CEvent> m_hDataEvent;
    std::unique_ptr<CEvent> m_hStopEvent;

private:
    void WriterThread();
    void ReaderThread();
    void Drain();
    // Writes one paced block; false when a stop cut it short. Writer thread.
    bool WritePaced(const TxBlock &block, bool &allWritten, std::uint64_t &unsent,
                    UnsentReason &reason);
    // After a stop cut a paced send short: drops the queue and tells what it held.
    void DropQueueAfterStop(std::uint64_t unsent);
    bool JoinWithTimeout(std::thread &thread, std::atomic<bool> &finished);

    std::mutex m_csTxQueue;
    std::deque<TxBlock> m_txQueue;
    std::atomic<std::size_t> m_nQueuedBlocks{0};
    // Blocks of the run under way already counted by BlocksDone.
    std::size_t m_nRunBlocksDone = 0;
    // A paced block's bytes are under way: they count as one block once all are out.
    bool m_bPacedBytes = false;

    // Held by the writer while it writes a block and by the reader while it
    // replaces the link, so a block never goes to a link being torn down.
    std::mutex m_csLink;
    std::atomic<LinkState> m_linkState{LinkState::Idle};
    std::atomic<int> m_nLinkLosses{0};
    std::atomic<std::uint64_t> m_nUnsentBytes{0};
    std::atomic<UnsentReason> m_unsentReason{UnsentReason::LinkDown};

    std::mutex m_csRxBuffer;
    std::vector<std::uint8_t> m_pRxBuffer;
    std::uint32_t m_nRxCount = 0;

    std::thread m_pWriterThread;
    std::thread m_pReaderThread;
    std::atomic<bool> m_writerFinished{false};
    std::atomic<bool> m_readerFinished{false};
    std::mutex m_finishMutex;
    std::condition_variable m_finished;
};
