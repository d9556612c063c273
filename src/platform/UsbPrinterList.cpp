#include "UsbPrinterList.h"

#include "platform/SysfsText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Kernel name of a USB interface: bus-port[.port...]:configuration.interface.
bool isInterfaceName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d+-\\d+(\\.\\d+)*:\\d+\\.\\d+$"));
    return pattern.match(name).hasMatch();
}

bool isLpName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^lp\\d+$"));
    return pattern.match(name).hasMatch();
}

int lpNumber(const QString &name)
{
    return name.mid(2).toInt();
}

// The node of a usbmisc entry, from the DEVNAME its uevent announces.
QString nodeOf(const QString &lpDir, const QString &lpName, const DeviceRoots &roots)
{
    QString devName = QStringLiteral("usb/") + lpName;
    const QString uevent = readSysfsText(lpDir + QStringLiteral("/uevent"));
    for (const QStringView line : QStringView(uevent).split(u'\n')) {
        if (line.startsWith(u"DEVNAME=") && !line.contains(u"..")) {
            devName = line.mid(8).toString();
            break;
        }
    }
    return roots.dev + u'/' + devName;
}

QString locationText(const QString &usbDeviceDir, const QString &usbDeviceName)
{
    QString text = QStringLiteral("USB ") + usbDeviceName;
    const QString manufacturer = readSysfsText(usbDeviceDir + QStringLiteral("/manufacturer"));
    const QString product = readSysfsText(usbDeviceDir + QStringLiteral("/product"));
    // Many devices repeat the maker in the product text.
    QString maker
        = product.startsWith(manufacturer, Qt::CaseInsensitive) ? QString() : manufacturer;
    const QString model = QStringList({maker, product}).join(u' ').trimmed();
    if (!model.isEmpty())
        text += QStringLiteral(": ") + model;
    return text;
}

} // namespace

void EnumUsbDevices(QStringList &paths, QStringList &names, const DeviceRoots &roots)
{
    paths = QStringList{UsbPrinters::kPlaceholderPath};
    names = QStringList{UsbPrinters::kPlaceholderName};

    const QDir classDir(roots.sys + QStringLiteral("/class/usbmisc"));
    QStringList entries = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    entries.removeIf([](const QString &e) { return !isLpName(e); });
    std::sort(entries.begin(), entries.end(),
              [](const QString &a, const QString &b) { return lpNumber(a) < lpNumber(b); });

    for (const QString &lp : entries) {
        const QString lpDir = QFileInfo(classDir.filePath(lp)).canonicalFilePath();
        const QString node = nodeOf(lpDir.isEmpty() ? classDir.filePath(lp) : lpDir, lp, roots);
        // .../<usb device>/<interface>/usbmisc/lpN
        QDir dir(lpDir);
        const bool inTree = !lpDir.isEmpty() && dir.cdUp() && dir.dirName() == u"usbmisc"
                            && dir.cdUp() && isInterfaceName(dir.dirName());
        if (!inTree) {
            // A node without a USB device behind it: named by the kernel.
            paths << node;
            names << lp;
            continue;
        }
        const QString interfaceDir = dir.absolutePath();
        const QString interfaceClass
            = readSysfsText(interfaceDir + QStringLiteral("/bInterfaceClass"));
        if (!interfaceClass.isEmpty() && interfaceClass.toInt(nullptr, 16) != 7)
            continue;
        const QString interfaceName = dir.dirName();
        dir.cdUp();
        const QString usbDeviceName = interfaceName.section(u':', 0, 0);
        const QString serial = readSysfsText(dir.filePath(QStringLiteral("serial")));
        QString name = locationText(dir.absolutePath(), usbDeviceName);
        if (!serial.isEmpty())
            name += QStringLiteral(" [%1]").arg(serial);
        paths << UsbPrinters::kPortPathPrefix + interfaceName;
        names << name;
    }

    // A device with two printer interfaces gives two entries of one name: each
    // gets its interface number, so that either can be chosen and found again.
    QStringList unique = names;
    for (qsizetype i = 1; i < names.size(); ++i) {
        if (names.count(names[i]) < 2 || !paths[i].startsWith(UsbPrinters::kPortPathPrefix))
            continue;
        const QString interfaceNumber = paths[i].section(u':', -1).section(u'.', -1);
        unique[i]
            += u' '
               + QCoreApplication::translate("UsbPrinters", "(interface %1)").arg(interfaceNumber);
    }
    names = unique;
}

void FindUsbDevicePath(const QString &name, QString &path, const DeviceRoots &roots)
{
    QStringList paths;
    QStringList names;
    EnumUsbDevices(paths, names, roots);
    const qsizetype i = names.indexOf(name);
    path = i >= 0 ? paths.at(i) : UsbPrinters::kPlaceholderPath;
}

QString UsbDeviceNode(const QString &path, const DeviceRoots &roots)
{
    if (!path.startsWith(UsbPrinters::kPortPathPrefix))
        return path;
    const QString interfaceName = path.mid(UsbPrinters::kPortPathPrefix.size());
    if (!isInterfaceName(interfaceName))
        return {};
    const QDir usbmisc(roots.sys + QStringLiteral("/bus/usb/devices/") + interfaceName
                       + QStringLiteral("/usbmisc"));
    QStringList entries = usbmisc.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    entries.removeIf([](const QString &e) { return !isLpName(e); });
    if (entries.isEmpty())
        return {};
    return nodeOf(usbmisc.filePath(entries.first()), entries.first(), roots);
}

QString UsbDeviceTitle(const QString &path, const DeviceRoots &roots)
{
    if (!path.startsWith(UsbPrinters::kPortPathPrefix))
        return QFileInfo(path).fileName();
    QStringList paths;
    QStringList names;
    EnumUsbDevices(paths, names, roots);
    if (const qsizetype i = paths.indexOf(path); i > 0)
        return names.at(i);
    const QString interfaceName = path.mid(UsbPrinters::kPortPathPrefix.size());
    return QStringLiteral("USB ") + interfaceName.section(u':', 0, 0);
}
