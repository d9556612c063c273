#include "ports/PortTest.h"

#include "support/ChildProcess.h"
#include "support/FakeTtyIo.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// The kernel's own terms for a line: the exact rates of lines set with BOTHER.
#include <asm/termbits.h>
#include <grp.h>
#include <sys/ioctl.h>

namespace {

const QString kTimeoutText = "ERROR: Overlapped I/O Timeout\n";

using ComPortTest = PortTest;

// Out-of-range parities and handshakes fall back to none.
TEST_F(ComPortTest, eachOpenAppliesItsLineSettingsAndHandshakeToTheDevice)
{
    const std::tuple<int, int, int, int, int, tcflag_t, tcflag_t> rows[] = {
        {19200, 0, 8, 1, 0, CS8, 0},
        {9600, 1, 7, 1, 1, CS7 | PARENB, IXON | IXOFF},
        {12345, 2, 6, 2, 2, CS6 | PARENB | PARODD | CSTOPB | CRTSCTS, 0},
        {250000, 3, 5, 2, 3, CS5 | CSTOPB | CRTSCTS, 0},
        {115200, 1, 8, 1, 4, CS8 | PARENB, 0},
        {19200, 7, 8, 1, 7, CS8, 0},
        {31250, -1, 8, 2, -1, CS8 | CSTOPB, 0},
    };
    CComPort port;
    port.SetDevicePath(pty.devicePath());
    const int fd = ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    for (const auto &[baud, parity, dataBits, stopBits, protocol, cflag, iflag] : rows) {
        SCOPED_TRACE(protocol);
        ASSERT_TRUE(port.Open(2, baud, parity, dataBits, stopBits, protocol, 5));
        termios2 line{};
        EXPECT_EQ(::ioctl(fd, TCGETS2, &line), 0);
        EXPECT_EQ((std::pair{line.c_ospeed, line.c_ispeed}),
                  (std::pair{speed_t(baud), speed_t(baud)}));
        EXPECT_EQ(line.c_cflag & (CSTOPB | CRTSCTS | CREAD | CLOCAL),
                  (cflag & (CSTOPB | CRTSCTS)) | CREAD | CLOCAL);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY), iflag);
        // A pseudo-terminal reads back as 8N: size and parity as handed to the driver.
        EXPECT_EQ(port.AppliedTermios().cflag & (CSIZE | PARENB | PARODD),
                  cflag & (CSIZE | PARENB | PARODD));
        EXPECT_TRUE(port.Close());
    }
    ::close(fd);
    EXPECT_EQ(log.count("Open:", true), 0);
}

// A day of Start and Stop must not use up the process's descriptors.
TEST_F(ComPortTest, runsOfEachDeviceKindLeaveNoDescriptorBehind)
{
    const auto descriptors = [] {
        return QDir("/proc/self/fd").count();
    };
    const auto before = descriptors();
    for (int i = 0; i < 3; ++i) {
        CComPort serial;
        serial.SetDevicePath(pty.devicePath());
        ASSERT_TRUE(serial.Open(1, 9600, 0, 8, 1, 0, 5) && serial.Start());
        EXPECT_TRUE(serial.Close());
        CUsbPort usb;
        ASSERT_TRUE(usb.Open(pty.devicePath(), 5) && usb.Start());
        EXPECT_TRUE(usb.Close());
    }
    EXPECT_EQ(descriptors(), before);
}

TEST_F(ComPortTest, aFailedOpenSaysWhyAndLetsTheDeviceGo)
{
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    const QString ptyPath = pty.devicePath(), missing = "/nonexistent/ttyUSB9";
    CComPort port;
    const auto refused = [&](const QString &path, int baud, int dataBits, int stopBits,
                             const char *text, const QString &reason) {
        SCOPED_TRACE(text + std::to_string(baud) + std::to_string(dataBits) + path.toStdString());
        const int before = log.count(QLatin1String(text));
        port.SetDevicePath(path);
        EXPECT_FALSE(port.Open(path.isEmpty() ? 0 : 1, baud, 0, dataBits, stopBits, 0, 5));
        EXPECT_EQ(log.count(QLatin1String(text)), before + 1);
        EXPECT_EQ(whyNot(port, OpenFailure::Link::Serial, port.DeviceName()), reason);
        EXPECT_FALSE(port.IsOpen() || port.Start());
    };
    refused(missing, 19200, 8, 1, "Open: Bad filehandle\n",
            "No such device: " + missing + " is not plugged in.");
    refused(plain.fileName(), 19200, 8, 1, "Open: Could not read CommState\n",
            plain.fileName() + " is not a serial device.");
    for (const auto &[baud, dataBits, stopBits] :
         {std::tuple{19200, 4, 1}, {19200, 9, 1}, {19200, 8, 0}, {19200, 8, 3}, {0, 8, 1}})
        refused(ptyPath, baud, dataBits, stopBits, "Open: BuildCommDCB failed\n",
                "Invalid argument: the device does not take these line settings.");
    // The failed opens let the device go; a port that holds it keeps others out.
    CComPort first, second;
    ASSERT_TRUE(open(first));
    EXPECT_FALSE(open(second));
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
    EXPECT_TRUE(receive(bytes.size()) == bytes && arrived.at(0).size() > 64);
    // A short message is handed on at once, and the next one is a block of its own.
    arrived.clear();
    ASSERT_TRUE(pty.write("K"));
    EXPECT_TRUE(receive(1) == "K" && arrived == std::vector<QByteArray>{"K"});
    // Far more than the driver buffers, every byte value unchanged, progress block by block.
    const QByteArray bulk = pattern(200000, 3);
    const int blocks = port.Write(bulk.constData(), int(bulk.size()));
    EXPECT_TRUE(waitUntil([&] { return port.GetBlocksWritten() > 0 && port.IsWritePending(); }));
    EXPECT_EQ(pty.read(bulk.size()), bulk);
    EXPECT_TRUE(
        waitUntil([&] { return port.GetBlocksWritten() == blocks && !port.IsWritePending(); }));
    EXPECT_EQ(log.count(kTimeoutText), 0);
}

// A write held by handshake or full line is said once, its drain dropped; later writes go out.
TEST_F(ComPortTest, aTimedOutWriteDropsTheRestOfItsDrainAndAStopEndsAWaitingWrite)
{
    // Handshakes 2 and 4 hold writes until DSR, 3 does not.
    const std::tuple<int, bool, int> rows[]
        = {{3, false, 4}, {2, true, 1000}, {4, true, 1000}, {0, true, 128 * 1024}};
    for (const auto &[protocol, held, bytes] : rows) {
        SCOPED_TRACE(protocol);
        PtyPair line;
        std::atomic<bool> dsr{false};
        CComPort port;
        port.SetDsrProbe([&dsr] { return dsr.load(); });
        ASSERT_TRUE(open(port, protocol, 0, &line) && port.Start());
        const int timeouts = log.count(kTimeoutText);
        const QByteArray bulk = pattern(bytes);
        const int blocks = port.Write(bulk.constData(), bytes);
        EXPECT_EQ(held ? bulk : line.read(bytes), bulk);
        const int dropped = held ? 1 : 0;
        EXPECT_TRUE(
            waitUntil([&] { return port.FailedDrains() == dropped && !port.IsWritePending(); }));
        EXPECT_EQ(port.GetBlocksWritten(), blocks);
        dsr = true;
        port.Write("go", 2);
        const QByteArray got = line.readUntil("go");
        EXPECT_TRUE(got.endsWith("go") && bulk.startsWith(got.chopped(2))
                    && got.size() - 2 < (held ? bytes : 1));
        EXPECT_EQ(log.count(kTimeoutText), timeouts + (held ? 1 : 0));
    }
    // A stop ends a write waiting for DSR or for room (else: a time-out).
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

// The lines that are up ("cts dsr dcd ri dtr rts"), or "n/a".
QString linesText(const CComPort &port)
{
    const ModemLineState s = port.GetModemLines();
    const bool on[] = {s.cts, s.dsr, s.dcd, s.ri, s.dtr, s.rts};
    QStringList up;
    for (int i = 0; i < 6; ++i)
        if (on[i])
            up << QString("cts dsr dcd ri dtr rts").section(' ', i, i);
    return s.available ? up.join(' ') : "n/a";
}

// Each change is announced and the DSR handshake's hold follows it: a held write goes at DSR.
TEST_F(ComPortTest, theModemLinesAndTheHandshakeHoldFollowTheDevice)
{
    FakeTtyIo io;
    CComPort port;
    port.SetTtyIo(&io);
    port.AnnounceModemLines(true);
    EXPECT_EQ(linesText(port), "n/a");
    ASSERT_TRUE(open(port, 2) && port.Start());
    EXPECT_EQ((std::pair{linesText(port), port.GetHandshakeHold()}),
              (std::pair{QString("dtr rts"), HandshakeHold::Dsr}));
    port.Write("held", 4);
    const std::tuple<int, bool, const char *, HandshakeHold> rows[] = {
        {ModemBits::Dcd | ModemBits::Ri, true, "dcd ri dtr rts", HandshakeHold::Dsr},
        {ModemBits::Dsr, true, "dsr dcd ri dtr rts", HandshakeHold::Cts},
        {ModemBits::Cts, true, "cts dsr dcd ri dtr rts", HandshakeHold::None},
        {ModemBits::Ri | ModemBits::Dcd, false, "cts dsr dtr rts", HandshakeHold::None},
        {ModemBits::Dsr, false, "cts dtr rts", HandshakeHold::Dsr},
    };
    int changes = 1; // the first look at Start
    for (const auto &[bits, up, shown, hold] : rows) {
        io.setInputs(bits, up);
        const QString want = shown; // a lambda cannot take a binding (clang 14)
        EXPECT_TRUE(waitUntil([&] { return linesText(port) == want; })) << shown;
        EXPECT_EQ(port.GetHandshakeHold(), hold) << shown;
        int &told = window.counts[PortNotifyCode::ModemLinesChanged];
        EXPECT_TRUE(eventually([&] { return told >= changes + 1; }));
        EXPECT_EQ(told, ++changes);
        if (bits == ModemBits::Dsr && up) {
            EXPECT_EQ(pty.read(4), "held");
        }
    }
    EXPECT_TRUE(port.Close() && linesText(port) == "n/a");
}

// DTR and RTS switch where the handshake leaves them alone, until the next Start (not a reopening).
TEST_F(ComPortTest, onlyTheLinesTheHandshakeLeavesAloneAreSwitchedUntilStop)
{
    using R = LineRequest;
    const std::tuple<int, R, R> rows[] = {
        {0, R::Done, R::Done},
        {1, R::Done, R::Done},
        {2, R::DrivenByHandshake, R::DrivenByHandshake},
        {3, R::Done, R::DrivenByHandshake},
        {4, R::DrivenByHandshake, R::Done},
        {7, R::Done, R::Done},
    };
    FakeTtyIo io;
    CComPort port;
    port.SetTtyIo(&io);
    EXPECT_EQ(port.SetDtr(false), R::NotRunning);
    for (const auto &[protocol, dtr, rts] : rows) {
        ASSERT_TRUE(open(port, protocol) && port.Start());
        EXPECT_EQ((std::pair{port.SetDtr(false), port.SetRts(false)}), (std::pair{dtr, rts}))
            << protocol;
        const QString low = QString(dtr == R::Done ? "" : "dtr ") + (rts == R::Done ? "" : "rts");
        EXPECT_EQ(linesText(port), low.trimmed()) << protocol;
        EXPECT_EQ(io.lines(),
                  (dtr == R::Done ? 0 : ModemBits::Dtr) | (rts == R::Done ? 0 : ModemBits::Rts));
        port.Close();
    }
    // Lost and opened again: as switched. Stop and Start: raised.
    ASSERT_TRUE(open(port, 0) && port.Start());
    EXPECT_EQ(port.SetRts(false), R::Done);
    io.answerReads({-ENODEV});
    ASSERT_TRUE(pty.write("x")); // dropped: opening a serial device empties it
    EXPECT_TRUE(waitUntil(
        [&] { return port.GetLinkLosses() == 1 && port.GetLinkState() == LinkState::Connected; }));
    EXPECT_TRUE(waitUntil([&] { return linesText(port) == "dtr"; }));
    EXPECT_EQ((std::pair{port.SetRts(true), port.SetDtr(false)}), (std::pair{R::Done, R::Done}));
    port.Close();
    ASSERT_TRUE(open(port, 0) && port.Start());
    EXPECT_EQ(linesText(port), "dtr rts");
}

// A break follows what was sent before it; a pseudo-terminal has no line for one, nor modem lines.
TEST_F(ComPortTest, aBreakIsSentOnlyWhileRunningAndWhereTheDeviceHasALine)
{
    using R = LineRequest;
    const std::tuple<bool, int, R> rows[]
        = {{true, 0, R::Done}, {true, EIO, R::Failed}, {false, 0, R::NotSupported}};
    for (const auto &[fake, error, result] : rows) {
        FakeTtyIo io;
        io.setBreakError(error);
        CComPort port;
        port.SetTtyIo(fake ? &io : nullptr);
        port.AnnounceModemLines(true);
        EXPECT_EQ(port.SendBreak(), R::NotRunning);
        ASSERT_TRUE(open(port) && port.Start());
        port.Write("before", 6);
        window.counts[PortNotifyCode::BreakDone] = 0;
        EXPECT_EQ(port.SendBreak(), R::Queued);
        EXPECT_TRUE(eventually([&] { return window.counts[PortNotifyCode::BreakDone] == 1; }));
        EXPECT_EQ((std::tuple{port.LastBreakResult(), pty.read(6), io.breaks()}),
                  (std::tuple{result, QByteArray("before"), error == 0 && fake ? 1 : 0}));
        port.Close();
        EXPECT_EQ(port.SendBreak(), R::NotRunning);
    }
    // The pseudo-terminal's lines: not available, said once.
    QCoreApplication::processEvents();
    EXPECT_EQ((std::pair{window.counts[PortNotifyCode::ModemLinesChanged],
                         log.count("modem line", true)}),
              (std::pair{3, 0}));
    CComPort port;
    ASSERT_TRUE(open(port) && port.Start());
    EXPECT_EQ((std::pair{linesText(port), port.SetDtr(false)}),
              (std::pair{QString("n/a"), R::NotSupported}));
}

TEST_F(ComPortTest, aBusyDeviceNamesTheProgramThatHoldsIt)
{
    QProcess holder;
    endWithTest(holder);
    holder.start("sh", {"-c", "exec 3<>\"$0\" && flock -n 3 && exec sleep 600", pty.devicePath()});
    const QString comm = QStringLiteral("/proc/%1/comm").arg(holder.processId());
    ASSERT_TRUE(waitUntil([&] { return fileBytes(comm) == "sleep\n"; })); // locked by now
    const QString expected
        = QStringLiteral("Device or resource busy: another program uses it (sleep, process %1).")
              .arg(holder.processId());
    CComPort serial;
    ASSERT_FALSE(open(serial));
    EXPECT_EQ(whyNot(serial, OpenFailure::Link::Serial, serial.DeviceName()), expected);
    CUsbPort usb;
    ASSERT_FALSE(usb.Open(pty.devicePath(), 5));
    EXPECT_EQ(whyNot(usb, OpenFailure::Link::Usb, usb.DeviceNode()), expected);
}

// Denied: the device's group, else the link's usual one. Busy, none seen: ModemManager (serial).
TEST(OpenFailure, eachReasonSaysWhatHoldsTheDeviceOrWhatTheUserNeeds)
{
    QTemporaryFile device("/tmp/orba-device-XXXXXX");
    QTemporaryDir proc;
    ASSERT_TRUE(device.open() && QDir(proc.path()).mkpath("812")
                && writeFileBytes(proc.filePath("812/comm"), "ModemManager\n"));
    const QByteArray path = QFile::encodeName(device.fileName());
    const group *dialout = ::getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : ::getegid();
    ASSERT_EQ(::chown(path.constData(), ::geteuid(), gid), 0);
    using L = OpenFailure::Link;
    const QString denied = "Permission denied: your user needs the group ";
    const QString busy = "Device or resource busy: another program uses it";
    const std::tuple<L, int, mode_t, QString, QString> rows[] = {
        {L::Serial, EACCES, 0660, device.fileName(), denied + ::getgrgid(gid)->gr_name + " ("},
        {L::Serial, EACCES, 0600, device.fileName(), denied + "dialout ("},
        {L::Usb, EPERM, 0600, device.fileName(), denied + "lp ("},
        {L::Serial, EBUSY, 0, "/dev/ttyACM0",
         busy + ", perhaps ModemManager, process 812, which takes new adapters for a while."},
        {L::Usb, EBUSY, 0, "/dev/usb/lp0", busy + "."},
        {L::Serial, ENOENT, 0, "", "No such device."},
        {L::Usb, ENOENT, 0, "\\\\?\\usb",
         "No USB device is chosen: pick one in the port settings."},
    };
    for (const auto &[link, error, mode, target, reason] : rows) {
        ::chmod(path.constData(), mode);
        EXPECT_TRUE(openFailureReason({link, error, target}, proc.path()).startsWith(reason))
            << reason.toStdString();
    }
}

} // namespace
