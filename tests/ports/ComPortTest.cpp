#include "support/DevicePortFixture.h"
#include "support/PortAssertions.h"

#include "ports/ComPort.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

const char kTimeoutText[] = "ERROR: Overlapped I/O Timeout\n";

class ComPortFixture : public DevicePortFixture
{
protected:
    bool open(CComPort &port, int protocol = 0, int timeoutSec = 5)
    {
        port.SetDevicePath(pty.devicePath());
        return port.Open(1, 19200, 0, 8, 1, protocol, timeoutSec);
    }
};

using ComPortOpen = ComPortFixture;
using ComPortTransfer = ComPortFixture;
using ComPortHandshake = ComPortFixture;
using ComPortHangup = ComPortFixture;

} // namespace

TEST_F(ComPortOpen, appliesLineSettingsAndHandshakeToTheDevice)
{
    const struct
    {
        int baud, parity, dataBits, stopBits, protocol;
        const char *definition;
        tcflag_t size;
        bool parityOn, parityOdd, xonXoff, rtsCts;
    } rows[] = {
        {19200, 0, 8, 1, 0, "baud=19200 parity=n data=8 stop=1", CS8, false, false, false, false},
        {9600, 1, 7, 1, 1, "baud=9600 parity=e data=7 stop=1", CS7, true, false, true, false},
        {12345, 2, 6, 2, 2, "baud=12345 parity=o data=6 stop=2", CS6, true, true, false, true},
        {250000, 3, 5, 2, 3, "baud=250000 parity=n data=5 stop=2", CS5, false, false, false, true},
        {115200, 1, 8, 1, 4, "baud=115200 parity=e data=8 stop=1", CS8, true, false, false, false},
        {19200, 7, 8, 1, 7, "baud=19200 parity=n data=8 stop=1", CS8, false, false, false, false},
        {31250, -1, 8, 2, -1, "baud=31250 parity=n data=8 stop=2", CS8, false, false, false, false},
    };
    // One port for all rows: every Open applies its settings anew.
    CComPort port;
    port.SetDevicePath(pty.devicePath());
    for (const auto &row : rows) {
        SCOPED_TRACE(row.definition);
        SCOPED_TRACE(row.protocol);
        ASSERT_TRUE(
            port.Open(2, row.baud, row.parity, row.dataBits, row.stopBits, row.protocol, 5));
        EXPECT_EQ(port.Definition(), QByteArray(row.definition));

        PtyPair::Line line;
        ASSERT_TRUE(pty.line(line));
        EXPECT_EQ(line.ospeed, static_cast<std::uint32_t>(row.baud));
        EXPECT_EQ(line.ispeed, static_cast<std::uint32_t>(row.baud));
        EXPECT_EQ((line.cflag & CSTOPB) != 0, row.stopBits == 2);
        EXPECT_EQ((line.iflag & IXON) != 0, row.xonXoff);
        EXPECT_EQ((line.iflag & IXOFF) != 0, row.xonXoff);
        EXPECT_EQ((line.cflag & CRTSCTS) != 0, row.rtsCts);
        EXPECT_EQ(line.cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
        EXPECT_EQ(line.lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(line.oflag & OPOST, 0u);
        EXPECT_EQ(line.iflag & (ICRNL | INLCR | IGNCR | ISTRIP | INPCK | IXANY), 0u);
        // A pseudo-terminal always reads back as 8 bits without parity, so
        // size and parity are checked as they were handed to the driver.
        const SerialTermios applied = port.AppliedTermios();
        EXPECT_EQ(applied.cflag & CSIZE, row.size);
        EXPECT_EQ((applied.cflag & PARENB) != 0, row.parityOn);
        EXPECT_EQ((applied.cflag & PARODD) != 0, row.parityOdd);
        EXPECT_TRUE(port.Close());
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_EQ(log.count(QStringLiteral("Open:"), true), 0);
}

TEST_F(ComPortOpen, badSettingsAndMissingDevicesFailWithTheirTextAndReleaseTheDevice)
{
    QTemporaryFile plainFile;
    ASSERT_TRUE(plainFile.open());
    const QString ptyPath = pty.devicePath();
    const struct
    {
        QString path;
        int port, baud, dataBits, stopBits;
        const char *text;
    } rows[] = {
        {QStringLiteral("/nonexistent/ttyUSB9"), 1, 19200, 8, 1, "Open: Bad filehandle\n"},
        {{}, 0, 19200, 8, 1, "Open: Bad filehandle\n"},
        {plainFile.fileName(), 1, 19200, 8, 1, "Open: Could not read CommState\n"},
        {ptyPath, 1, 19200, 3, 1, "Open: BuildCommDCB failed\n"},
        {ptyPath, 1, 19200, 9, 1, "Open: BuildCommDCB failed\n"},
        {ptyPath, 1, 19200, 8, 0, "Open: BuildCommDCB failed\n"},
        {ptyPath, 1, 19200, 8, 3, "Open: BuildCommDCB failed\n"},
        {ptyPath, 1, 0, 8, 1, "Open: BuildCommDCB failed\n"},
        {ptyPath, 1, -9600, 8, 1, "Open: BuildCommDCB failed\n"},
    };
    CComPort port;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        SCOPED_TRACE(row.path.toStdString());
        const int before = log.count(QLatin1String(row.text));
        port.SetDevicePath(row.path);
        EXPECT_FALSE(port.Open(row.port, row.baud, 0, row.dataBits, row.stopBits, 0, 5));
        EXPECT_EQ(log.count(QLatin1String(row.text)), before + 1);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.Start());
        std::uint32_t written = 0;
        EXPECT_EQ(port.Write("x", 1, &written), 0);
        EXPECT_EQ(written, 0xFFFFFFFFu);
    }
    // COM n is /dev/ttyS(n-1) unless a path is set; no device answers to COM0.
    EXPECT_EQ(CComPort::DeviceNameFor(12, {}), QStringLiteral("/dev/ttyS11"));
    EXPECT_EQ(CComPort::DeviceNameFor(3, QStringLiteral(" /dev/ttyX ")),
              QStringLiteral("/dev/ttyX"));
    EXPECT_EQ(CComPort::DeviceNameFor(0, QStringLiteral("  ")), QString());
    // The failed opens let the device go again.
    CComPort other;
    EXPECT_TRUE(open(other));
}

TEST_F(ComPortOpen, aDeviceHeldElsewhereCannotBeOpened)
{
    CComPort first;
    CComPort second;
    ASSERT_TRUE(open(first));
    EXPECT_FALSE(open(second));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(log.count(QStringLiteral("Open: Bad filehandle\n")), 1);
    first.Close();
    EXPECT_TRUE(open(second));
    second.Close();

    // Another program holding the device's lock.
    const int foreign = ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(foreign, 0);
    ASSERT_EQ(::flock(foreign, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(open(first));
    EXPECT_EQ(log.count(QStringLiteral("Open: Bad filehandle\n")), 2);
    ::close(foreign);
    EXPECT_TRUE(open(first));
}

TEST_F(ComPortTransfer, writtenBytesArriveAtTheFarEndUnchangedAndInOrder)
{
    CComPort port;
    ASSERT_TRUE(open(port));
    ASSERT_TRUE(port.Start());
    EXPECT_FALSE(open(port)); // refused while running

    // Every byte value passes untouched: no CR/NL mapping, no signal or
    // flow-control characters taken out.
    const QByteArray bytes = everyByteValue(4);
    std::uint32_t written = 0;
    EXPECT_EQ(port.Write(bytes.constData(), int(bytes.size()), &written), 5);
    EXPECT_EQ(written, 1024u);
    EXPECT_EQ(pty.read(bytes.size()), bytes);
    // Done before the next send starts its own count (the writer counts a run
    // once its last bytes are out, a moment after the far end has them).
    ASSERT_TRUE(QTest::qWaitFor([&] { return !port.IsWritePending(); }, 10000));

    // Far more than the driver buffers: the writer waits for room while the
    // far end reads.
    QByteArray bulk;
    for (int i = 0; bulk.size() < 200000; ++i)
        bulk += QByteArray::number(i) + ',';
    const int blocks = port.Write(bulk.constData(), int(bulk.size()));
    // Progress moves block by block while the line is busy.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return port.GetBlocksWritten() > 0 && port.IsWritePending(); }, 10000));
    EXPECT_EQ(pty.read(bulk.size()), bulk);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return port.GetBlocksWritten() == blocks && !port.IsWritePending(); }, 10000));
    EXPECT_EQ(log.count(QLatin1String(kTimeoutText)), 0);
}

TEST_F(ComPortTransfer, aReadTakesAllThatWaitsAndAQuietLineEndsTheBlock)
{
    CComPort port;
    ASSERT_TRUE(open(port));
    // Waiting before the reader starts: it is taken in large reads, not in
    // pieces of a few bytes.
    const QByteArray bytes = everyByteValue(4);
    ASSERT_TRUE(pty.write(bytes));
    ASSERT_TRUE(port.Start());
    std::vector<qsizetype> sizes;
    EXPECT_EQ(receive(bytes.size(), &sizes), bytes);
    ASSERT_FALSE(sizes.empty());
    EXPECT_GT(sizes[0], 64);

    // A short message is handed on without waiting for more, and the next
    // one after a pause is a block of its own.
    for (const QByteArray &message : {QByteArray("ATZ\r"), QByteArray("O"), QByteArray("K")}) {
        sizes.clear();
        ASSERT_TRUE(pty.write(message));
        EXPECT_EQ(receive(message.size(), &sizes), message);
        EXPECT_EQ(sizes, std::vector<qsizetype>{message.size()});
    }
}

TEST_F(ComPortTransfer, timedOutWriteDropsTheRestOfTheDrainAndLaterWritesWork)
{
    CComPort port;
    // No time at all to wait for room: the first full buffer times the write out.
    ASSERT_TRUE(open(port, 0, 0));
    ASSERT_TRUE(port.Start());

    QByteArray bulk;
    for (int i = 0; bulk.size() < 128 * 1024; ++i)
        bulk += QByteArray::number(i) + ';';
    const int blocks = port.Write(bulk.constData(), int(bulk.size()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.FailedDrains() == 1; }, 10000));
    EXPECT_FALSE(port.IsWritePending());
    // The dropped blocks are counted as done, so progress reaches its end.
    EXPECT_EQ(port.GetBlocksWritten(), blocks);
    EXPECT_EQ(log.count(QLatin1String(kTimeoutText)), 1);

    const QByteArray marker("<after the time-out>");
    port.Write(marker.constData(), int(marker.size()));
    const QByteArray received = pty.readUntil(marker);
    ASSERT_TRUE(received.endsWith(marker));
    const QByteArray sent = received.chopped(marker.size());
    EXPECT_LT(sent.size(), bulk.size());
    EXPECT_TRUE(bulk.startsWith(sent));
    EXPECT_EQ(log.count(QLatin1String(kTimeoutText)), 1);
}

TEST_F(ComPortHandshake, dsrHoldsWritesForHandshakesTwoAndFour)
{
    const struct
    {
        int protocol;
        bool held;
    } rows[] = {{0, false}, {1, false}, {2, true}, {3, false}, {4, true}, {7, false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.protocol);
        PtyPair line;
        ASSERT_TRUE(line.isValid());
        std::atomic<bool> dsr{false};
        CComPort port;
        port.SetDsrProbe([&dsr] { return dsr.load(); });
        port.SetDevicePath(line.devicePath());
        ASSERT_TRUE(port.Open(1, 19200, 0, 8, 1, row.protocol, 0));
        ASSERT_TRUE(port.Start());
        const int timeouts = log.count(QLatin1String(kTimeoutText));

        port.Write("held", 4);
        if (row.held)
            EXPECT_TRUE(QTest::qWaitFor([&] { return port.FailedDrains() == 1; }, 10000));
        else
            EXPECT_EQ(line.read(4), QByteArray("held"));

        dsr = true;
        port.Write("go", 2);
        EXPECT_EQ(line.readUntil("go"), QByteArray("go"));
        port.Close();
        EXPECT_EQ(log.count(QLatin1String(kTimeoutText)), timeouts + (row.held ? 1 : 0));
    }
}

TEST_F(ComPortHandshake, stopEndsAWaitingWriteAtOnce)
{
    const struct
    {
        const char *name;
        int protocol;
        int bytes;
    } rows[] = {{"waiting for DSR", 4, 10}, {"waiting for room", 0, 128 * 1024}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        PtyPair line;
        ASSERT_TRUE(line.isValid());
        CComPort port;
        port.SetDsrProbe([] { return false; });
        port.SetDevicePath(line.devicePath());
        ASSERT_TRUE(port.Open(1, 19200, 0, 8, 1, row.protocol, 30));
        ASSERT_TRUE(port.Start());
        const QByteArray bytes(row.bytes, 'w');
        port.Write(bytes.constData(), int(bytes.size()));
        // A write that outlived the stop would run into its time-out.
        port.Close();
        EXPECT_EQ(log.count(QLatin1String(kTimeoutText)), 0);
    }
}

TEST_F(ComPortHangup, aLostLineIsSaidOnceWritesAreRefusedAndStopStaysPrompt)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyLink"));
    ASSERT_TRUE(QFile::link(pty.devicePath(), link));
    CComPort port;
    port.SetDevicePath(link);
    ASSERT_TRUE(port.Open(1, 19200, 0, 8, 1, 0, 5));
    ASSERT_TRUE(port.Start());
    port.Write("sent", 4);
    ASSERT_EQ(pty.read(4), QByteArray("sent"));
    pty.closeMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.GetLinkState() == LinkState::Lost; }, 10000));
    EXPECT_EQ(port.GetLinkLosses(), 1);
    expectWriteRefusedWhileDown(port, "x");

    // Something is at the path again, but no device the port could open: it
    // goes on trying, calmly and without a further word.
    ASSERT_TRUE(QFile::remove(link));
    QFile notADevice(link);
    ASSERT_TRUE(notADevice.open(QIODevice::WriteOnly));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return port.GetLinkState() == LinkState::Reconnecting; }, 10000));
    expectStopEndsTheWaitForTheDevice(port, log, 1);
}
