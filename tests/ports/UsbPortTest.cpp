#include "ports/UsbPort.h"
#include "support/DevicePortFixture.h"
#include "support/FakeDeviceTree.h"
#include "support/PortAssertions.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kBadHandle = QStringLiteral("Open: Bad filehandle\n");

using UsbPortTest = DevicePortFixture;

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
    std::vector<qsizetype> sizes;
    EXPECT_EQ(receive(bytes.size(), &sizes), bytes);
    for (const qsizetype size : sizes)
        EXPECT_LE(size, 256);

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
    EXPECT_EQ(port.LinkName(), QStringLiteral("USB 1-1.4: r+k Printer [42]"));
    ASSERT_TRUE(port.Start());
    port.Write("\x02OK\x03", 4);
    EXPECT_EQ(pty.read(4), QByteArray("\x02OK\x03"));
    port.Close();

    tree.removeUsbPrinter(3);
    EXPECT_FALSE(port.Open(QStringLiteral("usb:1-1.4:1.0"), 5));
    EXPECT_EQ(port.LastOpenError(), ENODEV);
}

TEST_F(UsbPortTest, anUnpluggedPrinterIsOpenedAgainInItsSocketUnderANewNumber)
{
    const QString socket = QStringLiteral("usb:1-1.4:1.0");
    FakeDeviceTree tree;
    tree.addUsbPrinter(3, QStringLiteral("1-1.4:1.0"), QStringLiteral("r+k"),
                       QStringLiteral("Printer"), QStringLiteral("42"), pty.devicePath());
    CUsbPort port;
    port.SetDeviceRoots(tree.roots());
    ASSERT_TRUE(port.Open(socket, 5));
    ASSERT_TRUE(port.Start());
    port.Write("one", 3);
    ASSERT_EQ(pty.read(3), QByteArray("one"));

    tree.removeUsbPrinter(3);
    pty.closeMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.GetLinkState() == LinkState::Lost; }, 10000));
    EXPECT_EQ(port.GetLinkLosses(), 1);
    expectWriteRefusedWhileDown(port, "lost");

    // Plugged in again, the printer gets another lp number.
    PtyPair again;
    ASSERT_TRUE(again.isValid());
    tree.addUsbPrinter(5, QStringLiteral("1-1.4:1.0"), QStringLiteral("r+k"),
                       QStringLiteral("Printer"), QStringLiteral("42"), again.devicePath());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return port.GetLinkState() == LinkState::Connected; }, 10000));
    port.Write("two", 3);
    EXPECT_EQ(again.read(3), QByteArray("two"));
    ASSERT_TRUE(again.write("back"));
    EXPECT_EQ(receive(4), QByteArray("back"));
    EXPECT_EQ(port.LinkName(), QStringLiteral("USB 1-1.4: r+k Printer [42]"));

    // Unplugged for good: Stop ends the wait for it.
    tree.removeUsbPrinter(5);
    again.closeMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.GetLinkState() == LinkState::Lost; }, 10000));
    expectStopEndsTheWaitForTheDevice(port, log, 2);
}

TEST_F(UsbPortTest, aBlockThePrinterDoesNotTakeInTimeIsToldAndTheNextOnesAreStillTried)
{
    CUsbPort port;
    // No time at all to wait for room: every block beyond the full buffer times out.
    ASSERT_TRUE(port.Open(pty.devicePath(), 0));
    ASSERT_TRUE(port.Start());
    QByteArray bulk;
    for (int i = 0; bulk.size() < 128 * 1024; ++i)
        bulk += QByteArray::number(i) + ';';
    const int blocks = port.Write(bulk.constData(), int(bulk.size()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.IsWritePending(); }, 10000));
    EXPECT_EQ(port.GetBlocksWritten(), blocks);

    // Each block that timed out was said and counted as not sent, and the
    // blocks after it were still tried: what arrived is the bulk in order,
    // without the bytes of those blocks that did not go out.
    const QByteArray sent = pty.read(bulk.size(), 500);
    const int timeouts = log.count(QStringLiteral("ERROR: Overlapped I/O Timeout\n"));
    EXPECT_GT(timeouts, 0);
    UnsentReason reason = UnsentReason::LinkDown;
    const std::uint64_t unsent = port.TakeUnsentBytes(&reason);
    EXPECT_EQ(reason, UnsentReason::WriteFailed);
    EXPECT_GT(unsent, 255u * std::uint64_t(timeouts - 1));
    EXPECT_LE(unsent, 255u * std::uint64_t(timeouts));
    EXPECT_GE(std::uint64_t(sent.size()), std::uint64_t(bulk.size()) - unsent);
    qsizetype at = 0;
    for (const char c : sent) {
        while (at < bulk.size() && bulk[at] != c)
            ++at;
        ++at;
    }
    EXPECT_LE(at, bulk.size()) << "not in the order of the bulk";

    // Nothing is purged: what comes next goes out once there is room.
    port.Write("<next>", 6);
    EXPECT_EQ(pty.readUntil("<next>"), QByteArray("<next>"));
    EXPECT_EQ(port.GetLinkState(), LinkState::Connected);
}

} // namespace
