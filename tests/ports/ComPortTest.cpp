#include "ports/PortTest.h"

#include "platform/DeviceUsers.h"

#include "support/ChildProcess.h"
#include <QDir>

#include <QProcess>

// The kernel's own terms for a line, with the exact rates of lines set with BOTHER.
#include <asm/termbits.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>

namespace {

const QString kTimeoutText = QStringLiteral("ERROR: Overlapped I/O Timeout\n");

// A pseudo-terminal plays the serial device.
class ComPortTest : public PortTest
{
protected:
    bool open(CComPort &port, int protocol = 0, int timeoutSec = 5, const PtyPair *line = nullptr)
    {
        port.SetDevicePath((line ? *line : pty).devicePath());
        return port.Open(1, 19200, 0, 8, 1, protocol, timeoutSec);
    }
    // The settings the kernel holds for the device.
    termios2 kernelLine() const
    {
        termios2 t{};
        const int fd = ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        EXPECT_EQ(::ioctl(fd, TCGETS2, &t), 0);
        ::close(fd);
        return t;
    }

    PtyPair pty;
};

TEST_F(ComPortTest, eachOpenAppliesItsLineSettingsAndHandshakeToTheDevice)
{
    const struct
    {
        int baud, parity, dataBits, stopBits, protocol;
        const char *definition;
        tcflag_t cflag, iflag;
    } rows[] = {
        {19200, 0, 8, 1, 0, "baud=19200 parity=n data=8 stop=1", CS8, 0},
        {9600, 1, 7, 1, 1, "baud=9600 parity=e data=7 stop=1", CS7 | PARENB, IXON | IXOFF},
        {12345, 2, 6, 2, 2, "baud=12345 parity=o data=6 stop=2",
         CS6 | PARENB | PARODD | CSTOPB | CRTSCTS, 0},
        {250000, 3, 5, 2, 3, "baud=250000 parity=n data=5 stop=2", CS5 | CSTOPB | CRTSCTS, 0},
        {115200, 1, 8, 1, 4, "baud=115200 parity=e data=8 stop=1", CS8 | PARENB, 0},
        {19200, 7, 8, 1, 7, "baud=19200 parity=n data=8 stop=1", CS8, 0},
        {31250, -1, 8, 2, -1, "baud=31250 parity=n data=8 stop=2", CS8 | CSTOPB, 0},
    };
    CComPort port;
    port.SetDevicePath(pty.devicePath());
    for (const auto &row : rows) {
        SCOPED_TRACE(row.definition + std::string(" protocol ") + std::to_string(row.protocol));
        ASSERT_TRUE(
            port.Open(2, row.baud, row.parity, row.dataBits, row.stopBits, row.protocol, 5));
        EXPECT_EQ(port.Definition(), QByteArray(row.definition));
        const termios2 line = kernelLine();
        EXPECT_EQ(line.c_ospeed, speed_t(row.baud));
        EXPECT_EQ(line.c_ispeed, speed_t(row.baud));
        EXPECT_EQ(line.c_cflag & (CSTOPB | CRTSCTS | CREAD | CLOCAL),
                  (row.cflag & (CSTOPB | CRTSCTS)) | CREAD | CLOCAL);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | INPCK | IXANY),
                  row.iflag);
        EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(line.c_oflag & OPOST, 0u);
        // A pseudo-terminal always reads back as 8 bits without parity, so
        // size and parity are checked as they were handed to the driver.
        EXPECT_EQ(port.AppliedTermios().cflag & (CSIZE | PARENB | PARODD),
                  row.cflag & (CSIZE | PARENB | PARODD));
        EXPECT_TRUE(port.Close());
    }
    EXPECT_EQ(log.count(QStringLiteral("Open:"), true), 0);
}

TEST_F(ComPortTest, aFailedOpenSaysWhyAndLetsTheDeviceGo)
{
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    const QString ptyPath = pty.devicePath();
    const QString badSettings
        = QStringLiteral("Invalid argument: the device does not take these line settings.");
    const struct
    {
        QString path;
        int port, baud, dataBits, stopBits;
        const char *text;
        QString reason;
    } rows[] = {
        {QStringLiteral("/nonexistent/ttyUSB9"), 1, 19200, 8, 1, "Open: Bad filehandle\n",
         QStringLiteral("No such device: /nonexistent/ttyUSB9 is not plugged in.")},
        {{}, 0, 19200, 8, 1, "Open: Bad filehandle\n", QStringLiteral("No such device.")},
        {plain.fileName(), 1, 19200, 8, 1, "Open: Could not read CommState\n",
         plain.fileName() + QStringLiteral(" is not a serial device.")},
        {ptyPath, 1, 19200, 3, 1, "Open: BuildCommDCB failed\n", badSettings},
        {ptyPath, 1, 19200, 9, 1, "Open: BuildCommDCB failed\n", badSettings},
        {ptyPath, 1, 19200, 8, 0, "Open: BuildCommDCB failed\n", badSettings},
        {ptyPath, 1, 19200, 8, 3, "Open: BuildCommDCB failed\n", badSettings},
        {ptyPath, 1, 0, 8, 1, "Open: BuildCommDCB failed\n", badSettings},
        {ptyPath, 1, -9600, 8, 1, "Open: BuildCommDCB failed\n", badSettings},
    };
    CComPort port;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text + std::to_string(row.dataBits) + row.path.toStdString());
        const int before = log.count(QLatin1String(row.text));
        port.SetDevicePath(row.path);
        EXPECT_FALSE(port.Open(row.port, row.baud, 0, row.dataBits, row.stopBits, 0, 5));
        EXPECT_EQ(log.count(QLatin1String(row.text)), before + 1);
        EXPECT_EQ(whyNot(port, OpenFailure::Link::Serial, port.DeviceName()), row.reason);
        EXPECT_FALSE(port.IsOpen() || port.Start());
    }
    // COM n is /dev/ttyS(n-1) unless a path is set; no device answers to COM0.
    EXPECT_EQ(CComPort::DeviceNameFor(12, {}), QStringLiteral("/dev/ttyS11"));
    EXPECT_EQ(CComPort::DeviceNameFor(3, QStringLiteral(" /dev/ttyX ")),
              QStringLiteral("/dev/ttyX"));
    EXPECT_EQ(CComPort::DeviceNameFor(0, QStringLiteral("  ")), QString());

    // The failed opens let the device go; a port that holds it keeps others
    // out, and so does another program's lock.
    const QString badHandle = QStringLiteral("Open: Bad filehandle\n");
    const int refused = log.count(badHandle);
    CComPort first, second;
    ASSERT_TRUE(open(first));
    EXPECT_FALSE(open(second));
    first.Close();
    EXPECT_TRUE(open(second));
    second.Close();
    const int foreign = ::open(ptyPath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(foreign, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(open(first));
    EXPECT_EQ(log.count(badHandle), refused + 2);
    ::close(foreign);
    EXPECT_TRUE(open(first));
}

TEST_F(ComPortTest, bytesPassUnchangedBothWaysInLargeReadsAndWritesThatWaitForRoom)
{
    CComPort port;
    ASSERT_TRUE(open(port));
    // Waiting before the reader starts: taken in large reads, not in pieces.
    const QByteArray bytes = pattern(1024);
    ASSERT_TRUE(pty.write(bytes));
    ASSERT_TRUE(port.Start());
    EXPECT_FALSE(open(port)); // refused while running
    EXPECT_EQ(receive(bytes.size()), bytes);
    EXPECT_GT(arrived.at(0).size(), 64);
    // A short message is handed on at once, and the next one is a block of its own.
    for (const QByteArray &message : {QByteArray("ATZ\r"), QByteArray("O"), QByteArray("K")}) {
        arrived.clear();
        ASSERT_TRUE(pty.write(message));
        EXPECT_EQ(receive(message.size()), message);
        EXPECT_TRUE(arrived == std::vector<QByteArray>{message});
    }
    // Far more than the driver buffers, every byte value unchanged (no CR/NL
    // mapping, no signal or flow-control characters taken out): progress
    // moves block by block while the far end reads.
    const QByteArray bulk = pattern(200000, 3);
    const int blocks = port.Write(bulk.constData(), int(bulk.size()));
    EXPECT_TRUE(waitUntil([&] { return port.GetBlocksWritten() > 0 && port.IsWritePending(); }));
    EXPECT_EQ(pty.read(bulk.size()), bulk);
    EXPECT_TRUE(
        waitUntil([&] { return port.GetBlocksWritten() == blocks && !port.IsWritePending(); }));
    EXPECT_EQ(log.count(kTimeoutText), 0);
}

// A write that cannot go out in time (held by the handshake, or no room on
// the line) is said once and drops the rest of its drain, counted as done;
// later writes go out. A stop ends a waiting write at once.
TEST_F(ComPortTest, aTimedOutWriteDropsTheRestOfItsDrainAndAStopEndsAWaitingWrite)
{
    const struct
    {
        int protocol;
        bool held; // DSR holds writes for handshakes 2 and 4
        int bytes;
    } rows[] = {{0, false, 4},   {1, false, 4}, {2, true, 1000},      {3, false, 4},
                {4, true, 1000}, {7, false, 4}, {0, true, 128 * 1024}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.protocol);
        PtyPair line;
        std::atomic<bool> dsr{false};
        CComPort port;
        port.SetDsrProbe([&dsr] { return dsr.load(); });
        ASSERT_TRUE(open(port, row.protocol, 0, &line) && port.Start());
        const int timeouts = log.count(kTimeoutText);
        const QByteArray bulk = pattern(row.bytes);
        const int blocks = port.Write(bulk.constData(), row.bytes);
        EXPECT_EQ(row.held ? bulk : line.read(row.bytes), bulk);
        EXPECT_TRUE(waitUntil(
            [&] { return port.FailedDrains() == (row.held ? 1 : 0) && !port.IsWritePending(); }));
        EXPECT_EQ(port.GetBlocksWritten(), blocks);
        dsr = true;
        port.Write("go", 2);
        const QByteArray got = line.readUntil("go");
        EXPECT_TRUE(got.endsWith("go") && bulk.startsWith(got.chopped(2)));
        EXPECT_LT(got.size() - 2, row.held ? row.bytes : 1);
        EXPECT_EQ(log.count(kTimeoutText), timeouts + (row.held ? 1 : 0));
    }
    // Waiting for DSR, and waiting for room: a write that outlived the stop
    // would run into its time-out.
    for (const auto &[protocol, bytes] : {std::pair{4, 10}, {0, 128 * 1024}}) {
        PtyPair line;
        CComPort port;
        port.SetDsrProbe([] { return false; });
        ASSERT_TRUE(open(port, protocol, 30, &line) && port.Start());
        port.Write(QByteArray(bytes, 'w').constData(), bytes);
        port.Close();
    }
    EXPECT_EQ(log.count(kTimeoutText), 3);
}

// A lost line is said once; while something is at the path that is no
// device, the port goes on trying, calmly and without a further word.
TEST_F(ComPortTest, aLostLineIsSaidOnceAndAStopEndsTheWaitForIt)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyLink"));
    ASSERT_TRUE(QFile::link(pty.devicePath(), link));
    CComPort port;
    port.SetDevicePath(link);
    ASSERT_TRUE(port.Open(1, 19200, 0, 8, 1, 0, 5) && port.Start());
    pty.closeMaster();
    ASSERT_TRUE(waitUntil([&] { return port.GetLinkState() == LinkState::Lost; }));
    ASSERT_TRUE(QFile::remove(link) && writeFileBytes(link, {}));
    ASSERT_TRUE(waitUntil([&] { return port.GetLinkState() == LinkState::Reconnecting; }));
    EXPECT_EQ(port.Write("lost", 4), 0);
    EXPECT_EQ(port.GetLinkLosses(), 1);
    EXPECT_TRUE(port.IsOpen() && port.Close());
    EXPECT_EQ(log.count(QStringLiteral("ERROR: ReadFile")), 1);
    EXPECT_EQ(
        log.count(QStringLiteral("ERROR: "), true) + log.count(QStringLiteral("Open: "), true), 1);
}

TEST(OpenFailure, aDeviceWithoutPermissionNamesTheGroupThatMayUseIt)
{
    // A device node that its group may read and write, as udev makes them.
    QTemporaryFile device(QStringLiteral("/tmp/orba-device-XXXXXX"));
    ASSERT_TRUE(device.open());
    const QByteArray path = QFile::encodeName(device.fileName());
    const group *dialout = ::getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : ::getegid();
    ASSERT_EQ(::chown(path.constData(), ::geteuid(), gid), 0);
    ASSERT_EQ(::chmod(path.constData(), 0660), 0);
    const QString text = openFailureReason({OpenFailure::Link::Serial, EACCES, device.fileName()});
    const QString group
        = dialout ? QStringLiteral("dialout") : QString::fromLocal8Bit(::getgrgid(gid)->gr_name);
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Permission denied: your user needs the group ") + group)
        && text.contains(QStringLiteral("sudo usermod -aG ")))
        << text.toStdString();
    // Without group access to go by, the usual groups are named.
    ASSERT_EQ(::chmod(path.constData(), 0600), 0);
    EXPECT_TRUE(
        openFailureReason({OpenFailure::Link::Usb, EACCES, device.fileName()})
            .startsWith(QStringLiteral("Permission denied: your user needs the group lp ")));
    EXPECT_TRUE(
        openFailureReason({OpenFailure::Link::Serial, EACCES, device.fileName()})
            .startsWith(QStringLiteral("Permission denied: your user needs the group dialout ")));
}

TEST_F(ComPortTest, aBusyDeviceNamesTheProgramThatHoldsIt)
{
    // Another program holds the device locked.
    QProcess holder;
    endWithTest(holder);
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("exec 3<>\"$0\" && flock -n 3 && echo held && exec sleep 600"),
                  pty.devicePath()});
    ASSERT_TRUE(holder.waitForReadyRead());
    const QString expected
        = QStringLiteral("Device or resource busy: another program uses it (sleep, process %1).")
              .arg(holder.processId());
    CComPort serial;
    serial.SetDevicePath(pty.devicePath());
    ASSERT_FALSE(serial.Open(1, 19200, 0, 8, 1, 0, 5));
    EXPECT_EQ(whyNot(serial, OpenFailure::Link::Serial, serial.DeviceName()), expected);
    CUsbPort usb;
    ASSERT_FALSE(usb.Open(pty.devicePath(), 5));
    EXPECT_EQ(whyNot(usb, OpenFailure::Link::Usb, usb.DeviceNode()), expected);
    // This program itself (here: the test's own end of the line) is no other program.
    const QList<DeviceUser> users = FindDeviceUsers(pty.devicePath());
    ASSERT_EQ(users.size(), 1);
    EXPECT_EQ(users[0].pid, holder.processId());
    holder.kill();
    holder.waitForFinished();

    // Without a holder to be seen, ModemManager is named while it runs; it
    // leaves printers alone.
    QTemporaryDir proc;
    QDir(proc.path()).mkpath(QStringLiteral("812"));
    QFile comm(proc.filePath(QStringLiteral("812/comm")));
    ASSERT_TRUE(comm.open(QIODevice::WriteOnly) && comm.write("ModemManager\n") > 0);
    comm.close();
    const QString acm = QStringLiteral("/dev/ttyACM0");
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Serial, EBUSY, acm}, proc.path()),
              QStringLiteral("Device or resource busy: another program uses it, perhaps "
                             "ModemManager, process 812, which takes new adapters for a while."));
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Usb, EBUSY, acm}, proc.path()),
              QStringLiteral("Device or resource busy: another program uses it."));
}

} // namespace
