#pragma once

#include "terminal/TerminalPorts.h"
#include "ports/PortEngine.h"
#include "support/EventLoopWait.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

// A port over a socketpair: the test holds the far end (farFd()), reads what
// the program sent and writes what it shall receive. It records the size of
// every block the writer hands over and can hold the writer back.
class CTestLinkPort final : public CPortEngine
{
public:
    CTestLinkPort() { m_released.set(); }
    ~CTestLinkPort() override;

    bool Open(int rxBufferSize = 4096, int readChunk = 2048);
    bool IsOpen() const override { return m_fd >= 0; }
    int farFd() const { return m_farFd; }

    // Reads from the far end until `count` bytes arrived or `timeout` passed.
    QByteArray readFar(qsizetype count,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Writes all bytes at the far end.
    bool writeFar(const QByteArray &bytes);

    std::vector<std::uint32_t> blockSizes() const;
    // The number of blocks of each run the writer handed over.
    std::vector<std::size_t> runSizes() const;
    // While held, the writer waits before each block (the stop event still ends the wait).
    void holdWriter(bool hold) { hold ? m_released.reset() : m_released.set(); }

protected:
    bool WriteBlock(const std::uint8_t *data, std::uint32_t length) override;
    std::size_t WriteRun(TxRun blocks) override;
    void ReaderLoop(std::uint8_t *buffer) override;
    void TeardownLink() override;
    // Long enough for a loaded machine; a thread that ignores the stop still runs into it.
    int StopTimeoutMs() const override { return 2500 * deadlineScale(); }

private:
    int m_fd = -1;
    int m_farFd = -1;
    mutable std::mutex m_mutex;
    std::vector<std::uint32_t> m_blockSizes;
    std::vector<std::size_t> m_runSizes;
    CEvent m_released;
};

// The terminal's ports for a controller under test: one test link for every
// port kind.
class CTestPorts final : public CTerminalPorts
{
public:
    explicit CTestPorts(CTestLinkPort *link)
        : m_link(link)
    {}
    CPortEngine *port(int) override { return m_link; }
    bool open(const TerminalSettings &, const std::function<void(const QString &)> &) override
    {
        ++opens;
        if (whileOpening) // as a connection wait that runs the event loop would
            whileOpening();
        return !failOpen && m_link->Open();
    }

    bool failOpen = false;
    int opens = 0;
    std::function<void()> whileOpening;

private:
    CTestLinkPort *m_link;
};
