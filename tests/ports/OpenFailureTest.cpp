#include "ports/OpenFailure.h"
#include "platform/DeviceUsers.h"
#include "ports/ComPort.h"
#include "ports/NetPort.h"
#include "ports/UsbPort.h"
#include "support/FakeDeviceTree.h"
#include "support/LogCapture.h"
#include "support/Pty.h"
#include "support/RecordingUiServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTranslator>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The errno an open by an unprivileged user meets: a child process drops
// to user "nobody" first when the tests run as root, who may open anything.
int openErrorAsOtherUser(const std::function<int()> &open)
{
    if (::geteuid() != 0)
        return open();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        int err = -1;
        if (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0
            && ::setresuid(65534, 65534, 65534) == 0)
            err = open();
        [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &err, sizeof err);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int err = -1;
    if (::read(pipeFds[0], &err, sizeof err) != sizeof err)
        err = -1;
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return err;
}

// Another program that holds the device locked until it is told to go.
class DeviceHolder final
{
public:
    explicit DeviceHolder(const QString &path)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_release) != 0)
            return;
        const QByteArray name = path.toLocal8Bit();
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only the parent may write: the read below ends when it closes.
            ::close(m_release[1]);
            ::close(ready[0]);
            ::prctl(PR_SET_NAME, "devholder");
            const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY);
            const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            [[maybe_unused]] ssize_t n = ::write(ready[1], &ok, 1);
            char byte;
            n = ::read(m_release[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(m_release[0]);
        m_release[0] = -1;
        char ok = 0;
        m_holding = ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
    }
    ~DeviceHolder()
    {
        ::close(m_release[1]);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    bool holding() const { return m_holding; }
    pid_t pid() const { return m_pid; }

private:
    int m_release[2] = {-1, -1};
    pid_t m_pid = -1;
    bool m_holding = false;
};

class OpenFailureTest : public ::testing::Test
{
protected:
    LogCapture log; // keeps the ports' debug texts out of the test output
    PtyPair pty;
};

TEST_F(OpenFailureTest, eachFailureOfADeviceLinkHasItsReason)
{
    // (A missing serial device or USB printer: see the main window's tests.)
    FakeDeviceTree noPrinters;
    CUsbPort usb;
    usb.SetDeviceRoots(noPrinters.roots());
    ASSERT_FALSE(usb.Open(QStringLiteral("usb:1-9:1.0"), 5));
    EXPECT_EQ(usb.LastOpenError(), ENODEV);
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Usb, ENODEV, QStringLiteral("usb:1-9:1.0")}),
              QStringLiteral("No such device: USB 1-9 is not plugged in."));

    CComPort serial;
    // Settings the line cannot take, and a file that is no serial device.
    serial.SetDevicePath(pty.devicePath());
    ASSERT_FALSE(serial.Open(1, 0, 0, 8, 1, 0, 5));
    EXPECT_EQ(
        openFailureReason({OpenFailure::Link::Serial, serial.LastOpenError(), serial.DeviceName()}),
        QStringLiteral("Invalid argument: the device does not take these line settings."));
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    serial.SetDevicePath(plain.fileName());
    ASSERT_FALSE(serial.Open(1, 19200, 0, 8, 1, 0, 5));
    EXPECT_EQ(
        openFailureReason({OpenFailure::Link::Serial, serial.LastOpenError(), serial.DeviceName()}),
        plain.fileName() + QStringLiteral(" is not a serial device."));
    EXPECT_EQ(openFailureReason({}), QString());
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Serial, 0, QString(), true}),
              QStringLiteral("The terminal is running already."));
}

TEST_F(OpenFailureTest, aDeviceWithoutPermissionNamesTheGroupThatMayUseIt)
{
    // A device node that its group may read and write, as udev makes them.
    QTemporaryFile device(QStringLiteral("/tmp/orba-device-XXXXXX"));
    ASSERT_TRUE(device.open());
    const group *dialout = ::getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : ::getegid();
    const QString groupName
        = dialout ? QStringLiteral("dialout") : QString::fromLocal8Bit(::getgrgid(gid)->gr_name);
    ASSERT_EQ(::chown(QFile::encodeName(device.fileName()).constData(), ::geteuid(), gid), 0);
    ASSERT_EQ(
        ::chmod(QFile::encodeName(device.fileName()).constData(), ::geteuid() == 0 ? 0660 : 0), 0);

    const int serialError = openErrorAsOtherUser([&] {
        CComPort serial;
        serial.SetDevicePath(device.fileName());
        serial.Open(1, 19200, 0, 8, 1, 0, 5);
        return serial.LastOpenError();
    });
    const int usbError = openErrorAsOtherUser([&] {
        CUsbPort usb;
        usb.Open(device.fileName(), 5);
        return usb.LastOpenError();
    });
    ASSERT_EQ(serialError, EACCES);
    ASSERT_EQ(usbError, EACCES);

    const QString reason
        = openFailureReason({OpenFailure::Link::Serial, serialError, device.fileName()});
    EXPECT_TRUE(reason.startsWith(QStringLiteral("Permission denied: your user needs the group ")
                                  + (::geteuid() == 0 ? groupName : QStringLiteral("dialout"))))
        << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("sudo usermod -aG "))) << reason.toStdString();

    // Without group access to go by, the usual groups are named.
    ASSERT_EQ(::chmod(QFile::encodeName(device.fileName()).constData(), 0600), 0);
    EXPECT_TRUE(
        openFailureReason({OpenFailure::Link::Usb, usbError, device.fileName()})
            .startsWith(QStringLiteral("Permission denied: your user needs the group lp ")));
}

TEST_F(OpenFailureTest, aBusyDeviceNamesTheProgramThatHoldsIt)
{
    DeviceHolder holder(pty.devicePath());
    ASSERT_TRUE(holder.holding());
    const QString expected
        = QStringLiteral("Device or resource busy: another program uses it (devholder, "
                         "process %1).")
              .arg(holder.pid());

    CComPort serial;
    serial.SetDevicePath(pty.devicePath());
    ASSERT_FALSE(serial.Open(1, 19200, 0, 8, 1, 0, 5));
    EXPECT_EQ(serial.LastOpenError(), EBUSY);
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Serial, EBUSY, serial.DeviceName()}), expected);

    CUsbPort usb;
    ASSERT_FALSE(usb.Open(pty.devicePath(), 5));
    EXPECT_EQ(usb.LastOpenError(), EBUSY);
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Usb, EBUSY, usb.DeviceNode()}), expected);

    // This program itself (here: the test's own end of the line) is no other program.
    const QList<DeviceUser> users = FindDeviceUsers(pty.devicePath());
    ASSERT_EQ(users.size(), 1);
    EXPECT_EQ(users[0].pid, holder.pid());
}

TEST_F(OpenFailureTest, aBusyAdapterWithoutAVisibleHolderNamesModemManagerWhenItRuns)
{
    QTemporaryDir proc;
    QDir(proc.path()).mkpath(QStringLiteral("812"));
    QFile comm(proc.filePath(QStringLiteral("812/comm")));
    ASSERT_TRUE(comm.open(QIODevice::WriteOnly));
    comm.write("ModemManager\n");
    comm.close();
    const QString device = QStringLiteral("/dev/ttyACM0");
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Serial, EBUSY, device}, proc.path()),
              QStringLiteral("Device or resource busy: another program uses it, perhaps "
                             "ModemManager, process 812, which takes new adapters for a while."));
    // Printers are none of its business.
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Usb, EBUSY, device}, proc.path()),
              QStringLiteral("Device or resource busy: another program uses it."));
}

TEST_F(OpenFailureTest, aRefusedConnectionIsExplained)
{
    RecordingUiServices ui;
    // A port on which nothing listens: bound, then closed again.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ::getsockname(probe, reinterpret_cast<sockaddr *>(&addr), &len);
    ::close(probe);
    const unsigned port = ntohs(addr.sin_port);

    CNetPort net;
    ASSERT_FALSE(net.Open(QStringLiteral("127.0.0.1"), port, 5, 1));
    EXPECT_EQ(openFailureReason({OpenFailure::Link::Network, net.LastOpenError(),
                                 QStringLiteral("127.0.0.1:%1").arg(port)}),
              QStringLiteral("Connection refused: nothing accepts connections at 127.0.0.1:%1.")
                  .arg(port));
}

TEST_F(OpenFailureTest, reasonsAreGivenInGerman)
{
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/i18n/orbaterminal_de.qm")));
    QCoreApplication::installTranslator(&german);
    const QString missing
        = openFailureReason({OpenFailure::Link::Serial, ENOENT, QStringLiteral("/dev/ttyUSB9")});
    const QString busy
        = openFailureReason({OpenFailure::Link::Usb, EBUSY, QStringLiteral("/nonexistent")});
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(missing,
              QStringLiteral("Gerät nicht vorhanden: /dev/ttyUSB9 ist nicht angeschlossen."));
    EXPECT_EQ(busy, QStringLiteral("Gerät belegt: ein anderes Programm verwendet es."));
}

} // namespace
