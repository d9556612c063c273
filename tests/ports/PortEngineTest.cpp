#include "display/ReceivedBlockQueue.h"
#include "platform/PortNotify.h"
#include "support/EventLoopWait.h"
#include "support/LogCapture.h"
#include "support/TestLinkPort.h"

#include <QCoreApplication>
#include <QObject>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Collects everything the port hands to the display queue.
class PortEngineTest : public ::testing::Test
{
protected:
    PortEngineTest()
    {
        CReceivedBlockQueue::instance().clear();
        setPortNotifyTarget(&target, true);
    }
    ~PortEngineTest() override
    {
        port.Close();
        setPortNotifyTarget(nullptr, false);
        CReceivedBlockQueue::instance().clear();
    }

    // Takes blocks off the queue until `count` bytes arrived or the time is up.
    QByteArray received(qsizetype count, std::chrono::milliseconds timeout = 5s)
    {
        QByteArray all;
        const auto deadline = std::chrono::steady_clock::now() + timeout * deadlineScale();
        QByteArray block;
        while (all.size() < count && std::chrono::steady_clock::now() < deadline) {
            if (CReceivedBlockQueue::instance().takeNext(block))
                all += block;
            else
                std::this_thread::sleep_for(1ms);
        }
        return all;
    }

    template<typename Pred>
    static bool waitFor(Pred pred, std::chrono::milliseconds timeout = 5s)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout * deadlineScale();
        while (!pred()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    QObject target;
    CTestLinkPort port;
};

TEST_F(PortEngineTest, writeCutsDataIntoBlocksOfAtMost255Bytes)
{
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Start());
    struct Row
    {
        int length;
        int blocks;
    } rows[] = {{1, 1}, {255, 1}, {256, 2}, {600, 3}, {10000, 40}};
    for (const Row &row : rows) {
        QByteArray data(row.length, '\0');
        for (int i = 0; i < row.length; ++i)
            data[i] = static_cast<char>(i * 7 + row.length);
        std::uint32_t written = 0;
        EXPECT_EQ(port.Write(data.constData(), row.length, &written), row.blocks);
        EXPECT_EQ(written, static_cast<std::uint32_t>(row.length));
        EXPECT_EQ(port.readFar(row.length), data) << row.length;
    }
    const auto sizes = port.blockSizes();
    EXPECT_EQ(sizes.size(), 1u + 1 + 2 + 3 + 40);
    EXPECT_EQ(sizes[2], 255u);
    EXPECT_EQ(sizes[3], 1u);
    EXPECT_EQ(sizes[6], 90u);
    for (std::uint32_t s : sizes)
        EXPECT_LE(s, 255u);
}

TEST_F(PortEngineTest, writeOutsideARunQueuesNothing)
{
    std::uint32_t written = 0;
    EXPECT_EQ(port.Write("abc", 3, &written), 0);
    EXPECT_EQ(written, 0xFFFFFFFFu);
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Start());
    EXPECT_EQ(port.Write("abc", 0, &written), 0);
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(port.Start()); // a running port refuses
    EXPECT_FALSE(port.Open());
    port.Close();
    EXPECT_EQ(port.Write("abc", 3, &written), 0);
    EXPECT_EQ(written, 0xFFFFFFFFu);
    EXPECT_TRUE(port.Close()); // twice is harmless
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(PortEngineTest, pendingAndProgressFollowTheWriter)
{
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Start());
    port.holdWriter(true);
    EXPECT_EQ(port.Write(QByteArray(255 * 4, 'x').constData(), 255 * 4), 4);
    EXPECT_TRUE(port.IsWritePending());
    EXPECT_EQ(port.GetBlocksWritten(), 0);
    port.holdWriter(false);
    EXPECT_EQ(port.readFar(255 * 4).size(), 255 * 4);
    EXPECT_TRUE(waitFor([&] { return port.GetBlocksWritten() == 4 && !port.IsWritePending(); }));
    port.Write("y", 1);
    EXPECT_TRUE(waitFor([&] { return port.GetBlocksWritten() == 1; }));
}

TEST_F(PortEngineTest, blocksQueuedMeanwhileGoToTheLinkTogetherInTheirCut)
{
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Start());
    port.holdWriter(true);
    port.Write("a", 1);
    ASSERT_TRUE(waitFor([&] { return port.runSizes().size() == 1; }));
    // Queued while the link is busy with the first block.
    EXPECT_EQ(port.Write(QByteArray(600, 'b').constData(), 600), 3);
    EXPECT_EQ(port.Write(QByteArray(10, 'c').constData(), 10), 1);
    EXPECT_TRUE(port.IsWritePending());
    port.holdWriter(false);
    EXPECT_EQ(port.readFar(611), "a" + QByteArray(600, 'b') + QByteArray(10, 'c'));
    EXPECT_TRUE(waitFor([&] { return !port.IsWritePending(); }));
    EXPECT_EQ(port.runSizes(), (std::vector<std::size_t>{1, 4}));
    EXPECT_EQ(port.blockSizes(), (std::vector<std::uint32_t>{1, 255, 255, 90, 10}));
}

TEST_F(PortEngineTest, blocksQueuedBeforeCloseAreWritten)
{
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Start());
    port.holdWriter(true);
    port.Write(QByteArray(1000, 'z').constData(), 1000);
    std::thread release([&] {
        std::this_thread::sleep_for(20ms);
        port.holdWriter(false);
    });
    // The far end keeps reading while Close drains the queue.
    QByteArray far;
    std::thread reader([&] { far = port.readFar(1000, 3s); });
    port.Close();
    release.join();
    reader.join();
    EXPECT_EQ(far, QByteArray(1000, 'z'));
}

TEST_F(PortEngineTest, receivedBytesReachTheQueueInOrder)
{
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Start());
    QByteArray sent;
    for (int i = 0; i < 300000; ++i)
        sent.append(static_cast<char>(i % 251));
    std::thread writer([&] { port.writeFar(sent); });
    EXPECT_EQ(received(sent.size()), sent);
    writer.join();
}

TEST_F(PortEngineTest, readerWaitsWhileTheQueueIsFullAndLosesNothing)
{
    ASSERT_TRUE(port.Open(1 << 16, 1 << 16));
    ASSERT_TRUE(port.Start());
    const qsizetype total = CReceivedBlockQueue::kLimitBytes + 8 * 1024 * 1024;
    QByteArray chunk(1 << 20, '\0');
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i % 253);
    std::thread writer([&] {
        for (qsizetype done = 0; done < total; done += chunk.size())
            port.writeFar(chunk);
    });
    // Nobody consumes: the queue fills up to its limit and the reader waits.
    EXPECT_TRUE(waitFor(
        [] {
            return CReceivedBlockQueue::instance().queuedBytes()
                   >= CReceivedBlockQueue::kLimitBytes;
        },
        20s));
    std::this_thread::sleep_for(50ms);
    EXPECT_LE(CReceivedBlockQueue::instance().queuedBytes(),
              CReceivedBlockQueue::kLimitBytes + (1 << 16));
    const QByteArray all = received(total, 30s);
    writer.join();
    ASSERT_EQ(all.size(), total);
    for (qsizetype off = 0; off < total; off += chunk.size())
        ASSERT_EQ(all.mid(off, chunk.size()), chunk) << off;
}

TEST_F(PortEngineTest, stopEventEndsAReaderWaitingForRoom)
{
    ASSERT_TRUE(port.Open(1 << 16, 1 << 16));
    ASSERT_TRUE(port.Start());
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const QByteArray chunk(1 << 20, 'q');
        for (int i = 0; i < 40 && !stop; ++i)
            port.writeFar(chunk);
    });
    EXPECT_TRUE(waitFor(
        [] {
            return CReceivedBlockQueue::instance().queuedBytes()
                   >= CReceivedBlockQueue::kLimitBytes;
        },
        20s));
    // Ended by the stop event, not given up on after the stop time-out.
    LogCapture log;
    port.Close();
    EXPECT_EQ(log.count(QStringLiteral("did not end"), true), 0);
    stop = true;
    writer.join();
}

TEST_F(PortEngineTest, withoutAViewBytesStayStagedUpToTheBufferSize)
{
    setPortNotifyTarget(&target, false);
    ASSERT_TRUE(port.Open(8, 64));
    ASSERT_TRUE(port.Start());
    port.writeFar("12345");
    port.writeFar("6789AB");
    port.writeFar("CD");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(CReceivedBlockQueue::instance().queuedBlocks(), 0u);
    setPortNotifyTarget(&target, true);
    port.writeFar("E");
    // The staged bytes went with the next read; what did not fit was dropped.
    EXPECT_EQ(received(8), QByteArray("12345678"));
}

TEST_F(PortEngineTest, aNotificationIsPostedWhenBlocksArrive)
{
    int notifications = 0;
    struct Counter : QObject
    {
        int *count;
        bool event(QEvent *e) override
        {
            if (PortNotifyEvent::from(e))
                ++*count;
            return QObject::event(e);
        }
    } counter;
    counter.count = &notifications;
    setPortNotifyTarget(&counter, true);
    const std::uint8_t data[] = {1, 2, 3};
    QueueReceivedBlock(data, 3);
    QueueReceivedBlock(data, 3);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(notifications, 1); // one per burst
    QByteArray block;
    EXPECT_TRUE(CReceivedBlockQueue::instance().takeNext(block));
    EXPECT_TRUE(CReceivedBlockQueue::instance().takeNext(block));
    EXPECT_FALSE(CReceivedBlockQueue::instance().takeNext(block));
    QueueReceivedBlock(data, 3);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(notifications, 2);
    setPortNotifyTarget(&target, true);
}

} // namespace
