#include "ports/UsbPort.h"
#include "display/ReceivedBlockQueue.h"
#include "platform/PortNotify.h"
#include "support/CalmRetries.h"
#include "support/FakeDeviceTree.h"
#include "support/LogCapture.h"
#include "support/Pty.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kBadHandle = QStringLiteral("Open: Bad filehandle\n");

class UsbPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.isValid());
        CReceivedBlockQueue::instance().clear();
        setPortNotifyTarget(&window, true);
    }
    void TearDown() override
    {
        setPortNotifyTarget(nullptr, false);
        QCoreApplication::removePostedEvents(&window);
        CReceivedBlockQueue::instance().clear();
        EXPECT_EQ(log.count(QStringLiteral("did not end"), true), 0);
    }

    QByteArray receive(qsizetype count)
    {
        QByteArray all;
        [[maybe_unused]] const bool complete = QTest::qWaitFor(
            [&] {
                QByteArray block;
                while (CReceivedBlockQueue::instance().takeNext(block)) {
                    EXPECT_LE(block.size(), 256);
                    all += block;
                }
                return all.size() >= count;
            },
            10000);
        return all;
    }

    LogCapture log;
    PtyPair pty;
    QObject window;
};

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    return bytes;
}

TEST_F(UsbPortTest, bytesPassUnchangedBothWaysAndCloseForgetsTheDevice)
{
    CUsbPort port;
    ASSERT_TRUE(port.Open(pty.devicePath(), 5));
    EXPECT_EQ(port.LastOpenError(), 0);
    ASSERT_TRUE(port.Start());
    EXPECT_FALSE(port.Open(pty.devicePath(), 5)); // refused while running

    const QByteArray bytes = everyByteValue().repeated(3);
    EXPECT_EQ(port.Write(bytes.constData(), int(bytes.size())), 4);
    EXPECT_EQ(pty.read(bytes.size()), bytes);

    ASSERT_TRUE(pty.write(bytes));
    EXPECT_EQ(receive(bytes.size()), bytes);

    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.DevicePath(), QStringLiteral("\\\\?\\usb"));
    EXPECT_EQ(log.count(kBadHandle), 0);
}

TEST_F(UsbPortTest, aPortPathOpensThePrinterPluggedIntoThatPort)
{
    FakeDeviceTree tree;
    tree.addUsbPrinter(3, QStringLiteral("1-1.4:1.0"), QStringLiteral("r+k"),
                       QStringLiteral("Printer"), QStringLiteral("42"), pty.devicePath());
    CUsbPort port;
    port.SetDeviceRoots(tree.roots());
    ASSERT_TRUE(port.Open(QStringLiteral("usb:1-1.4:1.0"), 5));
    EXPECT_EQ(port.DeviceNode(), tree.devPath(QStringLiteral("usb/lp3")));
    ASSERT_TRUE(port.Start());
    port.Write("\x02OK\x03", 4);
    EXPECT_EQ(pty.read(4), QByteArray("\x02OK\x03"));
    port.Close();

    tree.removeUsbPrinter(3);
    EXPECT_FALSE(port.Open(QStringLiteral("usb:1-1.4:1.0"), 5));
    EXPECT_EQ(port.LastOpenError(), ENODEV);
}

TEST_F(UsbPortTest, devicesThatCannotBeOpenedFailWithTheirReason)
{
    const int holder = ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const struct
    {
        QString path;
        int error;
    } rows[] = {
        {QStringLiteral("\\\\?\\usb"), ENODEV},
        {QString(), ENODEV},
        {QStringLiteral("/nonexistent/usb/lp0"), ENOENT},
        {pty.devicePath(), EBUSY},
    };
    CUsbPort port;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        const int before = log.count(kBadHandle);
        EXPECT_FALSE(port.Open(row.path, 5));
        EXPECT_EQ(port.LastOpenError(), row.error);
        EXPECT_EQ(log.count(kBadHandle), before + 1);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.Start());
    }
    ::close(holder);
    EXPECT_TRUE(port.Open(pty.devicePath(), 5));
}

TEST_F(UsbPortTest, anUnpluggedDeviceIsRetriedCalmlyAndStopStaysPrompt)
{
    CUsbPort port;
    ASSERT_TRUE(port.Open(pty.devicePath(), 5));
    ASSERT_TRUE(port.Start());
    pty.closeMaster();

    const QString readError = QStringLiteral("ERROR: ReadFile");
    ASSERT_TRUE(log.waitFor(readError, 3));
    EXPECT_TRUE(retriedCalmly(log, readError));

    // Writes fail, and each block of the transmission is still tried.
    const QByteArray bytes(600, 'w');
    ASSERT_EQ(port.Write(bytes.constData(), int(bytes.size())), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.GetBlocksWritten() == 3; }, 10000));
    EXPECT_EQ(log.count(QStringLiteral("ERROR: WriteFile (in Writer)")), 3);

    // Close waits for no time-out: the reader's pause ends with the stop event.
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(log.count(QStringLiteral("did not end"), true), 0);
}

} // namespace
