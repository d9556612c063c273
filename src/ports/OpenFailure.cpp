#include "OpenFailure.h"

#include "platform/DeviceUsers.h"
#include "platform/SocketErrors.h"
#include "platform/UsbPrinterList.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The texts are in a context of their own; each is marked where it stands.
QString translated(const char *text)
{
    return QCoreApplication::translate("OpenFailure", text);
}

QString userName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QStringLiteral("$USER");
}

bool inSessionGroups(gid_t gid)
{
    const int n = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(n > 0 ? n : 0));
    if (n > 0 && ::getgroups(n, groups.data()) < 0)
        return false;
    for (gid_t g : groups) {
        if (g == gid)
            return true;
    }
    return ::getegid() == gid;
}

QString permissionReason(const QString &device, const char *usualGroup)
{
    // The group that may use the device: the file's own when it grants its
    // group read and write access (dialout, uucp, lp...), the usual one otherwise.
    QString groupName = QLatin1String(usualGroup);
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(device).constData(), &st) == 0
        && (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP)) {
        if (const struct group *g = ::getgrgid(st.st_gid)) {
            groupName = QString::fromLocal8Bit(g->gr_name);
            const QByteArray user = userName().toLocal8Bit();
            for (char **member = g->gr_mem; member && *member; ++member) {
                // Group changes reach only sessions started after them.
                if (user == *member && !inSessionGroups(st.st_gid)) {
                    return translated(
                               QT_TRANSLATE_NOOP(
                                   "OpenFailure",
                                   "Permission denied: your user is in the group %1, but this "
                                   "session is not yet: log out and in again."))
                        .arg(groupName);
                }
            }
        }
    }
    return translated(
               QT_TRANSLATE_NOOP(
                   "OpenFailure",
                   "Permission denied: your user needs the group %1 (sudo usermod -aG %1 %2, then "
                   "log in again)."))
        .arg(groupName, userName());
}

QString userText(const DeviceUser &u)
{
    return translated(QT_TRANSLATE_NOOP("OpenFailure", "%1, process %2"))
        .arg(u.name.isEmpty() ? translated(QT_TRANSLATE_NOOP("OpenFailure", "unknown")) : u.name)
        .arg(u.pid);
}

QString busyReason(const QString &device, bool serial, const QString &procRoot)
{
    const QList<DeviceUser> users = FindDeviceUsers(device, procRoot);
    if (!users.isEmpty()) {
        QStringList names;
        for (const DeviceUser &u : users)
            names << userText(u);
        return translated(
                   QT_TRANSLATE_NOOP("OpenFailure",
                                     "Device or resource busy: another program uses it (%1)."))
            .arg(names.join(QStringLiteral("; ")));
    }
    // A system service's descriptors are not visible to the user. The usual
    // suspect for a freshly plugged adapter is named when it runs.
    const QList<DeviceUser> modemManager
        = FindProcessesNamed(QStringLiteral("ModemManager"), procRoot);
    if (serial && !modemManager.isEmpty()) {
        return translated(QT_TRANSLATE_NOOP("OpenFailure",
                                            "Device or resource busy: another program uses it, "
                                            "perhaps %1, which takes new adapters for a while."))
            .arg(userText(modemManager.first()));
    }
    return translated(
        QT_TRANSLATE_NOOP("OpenFailure", "Device or resource busy: another program uses it."));
}

// A stored USB port path reads as the port: "usb:1-1.4:1.0" is "USB 1-1.4".
QString deviceText(const QString &target)
{
    if (!target.startsWith(UsbPrinters::kPortPathPrefix))
        return target;
    return QStringLiteral("USB ")
           + target.mid(UsbPrinters::kPortPathPrefix.size()).section(u':', 0, 0);
}

QString deviceReason(const OpenFailure &f, const QString &procRoot)
{
    const bool usb = f.link == OpenFailure::Link::Usb;
    if (usb && (f.target.isEmpty() || f.target == UsbPrinters::kPlaceholderPath))
        return translated(QT_TRANSLATE_NOOP(
            "OpenFailure", "No USB device is chosen: pick one in the port settings."));
    switch (f.error) {
    case 0:
        return {};
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (f.target.isEmpty())
            return translated(QT_TRANSLATE_NOOP("OpenFailure", "No such device."));
        return translated(QT_TRANSLATE_NOOP("OpenFailure", "No such device: %1 is not plugged in."))
            .arg(deviceText(f.target));
    case EACCES:
    case EPERM:
        return permissionReason(f.target, usb ? "lp" : "dialout");
    case EBUSY:
        return busyReason(f.target, !usb, procRoot);
    case ENOTTY:
        return translated(QT_TRANSLATE_NOOP("OpenFailure", "%1 is not a serial device."))
            .arg(f.target);
    case EINVAL:
        if (!usb)
            return translated(QT_TRANSLATE_NOOP(
                "OpenFailure", "Invalid argument: the device does not take these line settings."));
        break;
    default:
        break;
    }
    return QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(std::strerror(f.error)), f.target);
}

QString networkReason(const OpenFailure &f)
{
    switch (f.error) {
    case 10061:
        return translated(
                   QT_TRANSLATE_NOOP("OpenFailure",
                                     "Connection refused: nothing accepts connections at %1."))
            .arg(f.target);
    case SocketErrors::WsaETimedOut:
        return translated(
                   QT_TRANSLATE_NOOP("OpenFailure", "Connection timed out: %1 does not answer."))
            .arg(f.target);
    case SocketErrors::WsaHostNotFound:
        return translated(QT_TRANSLATE_NOOP("OpenFailure", "Host not found: %1.")).arg(f.target);
    case SocketErrors::WsaTryAgain:
        return translated(QT_TRANSLATE_NOOP(
            "OpenFailure", "The name server does not answer: try again, or give the IP address."));
    case 10050:
    case 10051:
    case 10065:
        return translated(
                   QT_TRANSLATE_NOOP("OpenFailure",
                                     "No route to %1: check the cable and the network settings."))
            .arg(f.target);
    case 10048:
        return translated(QT_TRANSLATE_NOOP(
            "OpenFailure", "Address already in use: another program uses this port."));
    case SocketErrors::WsaEInval:
        return translated(QT_TRANSLATE_NOOP(
            "OpenFailure",
            "Invalid argument: check the address and the port number (1 to 65535)."));
    default:
        return translated(QT_TRANSLATE_NOOP("OpenFailure", "Socket error %1."))
            .arg(SocketErrors::connectErrorName(f.error));
    }
}

} // namespace

QString openFailureReason(const OpenFailure &failure, const QString &procRoot)
{
    if (failure.alreadyRunning)
        return translated(QT_TRANSLATE_NOOP("OpenFailure", "The terminal is running already."));
    switch (failure.link) {
    case OpenFailure::Link::None:
        return {};
    case OpenFailure::Link::Network:
        return failure.error == 0 ? QString() : networkReason(failure);
    case OpenFailure::Link::Serial:
    case OpenFailure::Link::Usb:
        return deviceReason(failure, procRoot);
    }
    return {};
}
