#include "ports/PortTest.h"
#include "support/TestLinkPort.h"

namespace {

class PortEngine : public PortTest
{
protected:
    CTestLinkPort port;
};

TEST_F(PortEngine, onlyARunningPortTakesBytesAndBlocksQueuedWhileTheLinkIsBusyGoTogether)
{
    std::uint32_t written = 0; // none taken: the count says so
    EXPECT_TRUE(port.Write("abc", 3, &written) == 0 && written == 0xFFFFFFFFu);
    ASSERT_TRUE(port.Open() && port.Start());
    EXPECT_FALSE(port.Start() || port.Open()); // a running port refuses
    port.holdWriter(true);
    port.Write("a", 1); // taken by the writer, which is held
    ASSERT_TRUE(waitUntil([&] { return port.runSizes().size() == 1; }));
    EXPECT_TRUE(port.Write(QByteArray(600, 'b').constData(), 600, &written) == 3
                && written == 600u);
    EXPECT_TRUE(port.Write(QByteArray(10, 'c').constData(), 10) == 1 && port.IsWritePending()
                && port.GetBlocksWritten() == 0);
    port.holdWriter(false);
    EXPECT_EQ(port.readFar(611), "a" + QByteArray(600, 'b') + QByteArray(10, 'c'));
    EXPECT_TRUE(waitUntil([&] { return !port.IsWritePending(); }));
    EXPECT_EQ((std::pair{port.runSizes(), port.blockSizes()}),
              (std::pair{std::vector<std::size_t>{1, 4},
                         std::vector<std::uint32_t>{1, 255, 255, 90, 10}}));
    port.Write("y", 1);
    EXPECT_EQ(port.readFar(1), QByteArray("y"));
    EXPECT_TRUE(waitUntil([&] { return port.GetBlocksWritten() == 1; })); // since the latest Write

    // Still held when the stop comes: the queue is written before the link goes.
    port.holdWriter(true);
    port.Write(QByteArray(1000, 'z').constData(), 1000);
    QByteArray far;
    std::thread reader([&] { far = port.readFar(1000); });
    port.Close();
    reader.join();
    // A closed port takes nothing.
    EXPECT_TRUE(far == QByteArray(1000, 'z') && port.Write("abc", 3) == 0);
}

TEST_F(PortEngine, aReaderWaitsWhileTheQueueIsFullLosesNothingAndAStopEndsItsWait)
{
    ASSERT_TRUE(port.Open(1 << 16, 1 << 16));
    ASSERT_TRUE(port.Start());
    const QByteArray chunk = pattern(1 << 20), filler(chunk.size(), 'q');
    const int chunks = CReceivedBlockQueue::kLimitBytes / chunk.size() + 8;
    std::atomic<bool> stop{false};
    // Writes until the stop, or until a reader that does not wait has taken far too much.
    const auto &queue = CReceivedBlockQueue::instance();
    std::thread writer([&] {
        for (int i = 0; !stop && queue.queuedBytes() < 2 * queue.kLimitBytes
                        && port.writeFar(i < chunks ? chunk : filler);
             ++i) {
        }
    });
    // Nobody consumes: the queue fills to its limit, then the far end is held.
    const auto full = [&] {
        pollfd p{port.farFd(), POLLOUT, 0};
        return queue.queuedBytes() >= queue.kLimitBytes && ::poll(&p, 1, 0) == 0;
    };
    EXPECT_TRUE(waitUntil(full));
    EXPECT_LE(queue.queuedBytes(), queue.kLimitBytes + (1 << 16));
    const QByteArray all = receive(chunks * chunk.size());
    EXPECT_TRUE(all.left(chunks * chunk.size()) == chunk.repeated(chunks));
    // Ended by the stop event, not given up on after the stop time-out.
    EXPECT_TRUE(waitUntil(full));
    port.Close();
    stop = true;
    writer.join();
}

} // namespace
