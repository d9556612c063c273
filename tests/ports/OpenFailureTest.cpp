#include "platform/DeviceUsers.h"
#include "ports/PortTest.h"

#include <QDir>
#include <QProcess>

#include <grp.h>

namespace {

// (What the ports report for missing devices, bad settings and refused
// connections is checked with their own tests.)
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

TEST(OpenFailure, aBusyDeviceNamesTheProgramThatHoldsIt)
{
    LogCapture log;
    PtyPair pty;
    // Another program holds the device locked.
    QProcess holder;
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
