#include "ports/PortTest.h"
#include "support/FakeTtyIo.h"

namespace {

using UsbPortTest = PortTest;

// The port path names the socket: the printer in it is opened, whatever its lp number.
TEST_F(UsbPortTest, anUnpluggedPrinterIsOpenedAgainInItsSocketUnderANewNumber)
{
    const QString socket = "usb:1-1.4:1.0";
    FakeDeviceTree tree;
    tree.addUsbPrinter(3, socket.mid(4), "r+k", "Printer", "42", pty.devicePath());
    CUsbPort port;
    port.SetDeviceRoots(tree.roots());
    ASSERT_TRUE(port.Open(socket, 5) && port.Start());
    EXPECT_FALSE(port.Open(socket, 5)); // never over a running link
    EXPECT_EQ(port.DeviceNode() + u'|' + port.LinkName(),
              tree.devPath("usb/lp3") + "|USB 1-1.4: r+k Printer [42]");
    const QByteArray bytes = pattern(768);
    EXPECT_TRUE(port.Write(bytes.constData(), int(bytes.size())) == 4
                && pty.read(bytes.size()) == bytes);
    ASSERT_TRUE(pty.write(bytes));
    EXPECT_EQ(receive(bytes.size()), bytes);

    tree.removeUsbPrinter(3); // only the node goes: the device hangs nothing up
    ASSERT_TRUE(waitUntil([&] { return port.GetLinkState() == LinkState::Lost; }));
    EXPECT_EQ(port.GetLinkLosses(), 1);
    // Meanwhile a Write queues nothing and counts the bytes as not sent.
    EXPECT_EQ(port.Write("lost", 4), 0);
    UnsentReason reason = UnsentReason::NotStarted;
    EXPECT_TRUE(port.TakeUnsentBytes(&reason) == 4u && reason == UnsentReason::LinkDown);

    PtyPair again;
    tree.addUsbPrinter(5, socket.mid(4), "r+k", "Printer", "42", again.devicePath());
    ASSERT_TRUE(waitUntil([&] { return port.GetLinkState() == LinkState::Connected; }));
    port.Write("two", 3);
    EXPECT_EQ(again.read(3), QByteArray("two"));
    ASSERT_TRUE(again.write("back"));
    EXPECT_EQ(receive(4), QByteArray("back"));

    // Unplugged for good: a stop ends the wait; each loss was said once.
    tree.removeUsbPrinter(5);
    again.closeMaster();
    ASSERT_TRUE(waitUntil([&] { return port.GetLinkState() == LinkState::Lost; }));
    EXPECT_TRUE(port.Close() && log.count("ERROR: ReadFile") == 2);
    EXPECT_EQ(log.count("ERROR: ", true) + log.count("Open: ", true), 2);
    EXPECT_FALSE(port.Open(socket, 5));
    EXPECT_EQ(whyNot(port, OpenFailure::Link::Usb, socket),
              "No such device: USB 1-1.4 is not plugged in.");
}

// Rows: what reads answer (0 or -errno; the last lasting?), the losses. Only a device gone or an
// EIO lasting a second is a loss; what waits arrives anyway.
TEST_F(UsbPortTest, onlyAGoneDeviceOrALastingErrorIsALossAndNothingWaitingIsLost)
{
    const std::tuple<std::deque<int>, bool, int> rows[] = {
        {{0}, false, 0},
        {{0, 0, 0}, false, 0},
        {{-EIO, -EIO, -EIO}, false, 0},
        {{-EAGAIN, -EINTR}, false, 0},
        {{-ENODEV}, false, 1},
        {{-ENXIO}, false, 1},
        {{-EIO}, true, 1},
    };
    for (const auto &[reads, lasting, losses] : rows) {
        SCOPED_TRACE(reads.front() * 10 + lasting);
        PtyPair printer;
        FakeTtyIo io;
        CUsbPort port;
        port.SetTtyIo(&io);
        ASSERT_TRUE(port.Open(printer.devicePath(), 5) && port.Start());
        io.answerReads(reads, lasting);
        ASSERT_TRUE(printer.write("x"));
        if (lasting) {
            EXPECT_TRUE(waitUntil([&] { return port.GetLinkState() != LinkState::Connected; }));
            io.readAgain();
        }
        EXPECT_EQ((std::tuple{receive(1), port.GetLinkLosses(), port.GetLinkState()}),
                  (std::tuple{QByteArray("x"), losses, LinkState::Connected}));
    }
    EXPECT_EQ(log.count("ERROR: ReadFile"), 3);
}

// No time to wait for room: each block beyond the full buffer is said and counted as not sent.
TEST_F(UsbPortTest, aBlockThePrinterDoesNotTakeInTimeIsToldAndTheNextOnesAreStillTried)
{
    CUsbPort port;
    ASSERT_TRUE(port.Open(pty.devicePath(), 0) && port.Start());
    QByteArray bulk;
    for (int i = 0; bulk.size() < 128 * 1024; ++i)
        bulk += QByteArray::number(i) + ';';
    const int blocks = port.Write(bulk.constData(), int(bulk.size()));
    ASSERT_TRUE(waitUntil([&] { return !port.IsWritePending(); }));
    EXPECT_EQ(port.GetBlocksWritten(), blocks);
    const QByteArray sent = pty.read(bulk.size(), 500);
    const std::uint64_t timeouts = log.count("ERROR: Overlapped I/O Timeout\n");
    UnsentReason reason = UnsentReason::LinkDown;
    const std::uint64_t unsent = port.TakeUnsentBytes(&reason);
    EXPECT_EQ(reason, UnsentReason::WriteFailed);
    EXPECT_TRUE(timeouts > 0 && unsent > 255 * (timeouts - 1) && unsent <= 255 * timeouts);
    EXPECT_GE(std::uint64_t(sent.size()), std::uint64_t(bulk.size()) - unsent);
    port.Write("<next>", 6);
    EXPECT_EQ(pty.readUntil("<next>"), QByteArray("<next>"));
}

} // namespace
