#include "FakeDeviceTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString kUsbRoot = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb1");
}

FakeDeviceTree::FakeDeviceTree()
{
    for (const char *dir : {"sys/class/tty", "sys/class/usbmisc", "sys/bus/usb/devices", "dev"})
        QDir(m_dir.path()).mkpath(QLatin1String(dir));
}

QString FakeDeviceTree::makeRoomFor(const QString &relative) const
{
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return path;
}

void FakeDeviceTree::write(const QString &relative, const QByteArray &bytes) const
{
    QFile file(makeRoomFor(relative));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void FakeDeviceTree::link(const QString &relative, const QString &target) const
{
    QFile::link(target, makeRoomFor(relative));
}

void FakeDeviceTree::addTty(const QString &kernelName, const QString &ttyDir, bool hardware) const
{
    QDir(m_dir.path()).mkpath(ttyDir);
    if (hardware)
        link(ttyDir + QStringLiteral("/device"), QStringLiteral("../.."));
    link(QStringLiteral("sys/class/tty/") + kernelName, QStringLiteral("../../") + ttyDir.mid(4));
    write(QStringLiteral("dev/") + kernelName, {});
}

void FakeDeviceTree::addSerialAdapter(const QString &kernelName, const QString &usbDevice,
                                      const QString &product, const QString &byId)
{
    const QString device = QStringLiteral("sys/%1/%2").arg(kUsbRoot, usbDevice);
    write(device + QStringLiteral("/idVendor"), "0403\n");
    if (!product.isEmpty())
        write(device + QStringLiteral("/product"), product.toUtf8() + '\n');
    // ttyUSB: the usb-serial port below the interface; ttyACM: the interface.
    addTty(kernelName, QStringLiteral("%1/%2:1.0/%3/tty/%3").arg(device, usbDevice, kernelName),
           true);
    if (!byId.isEmpty())
        link(QStringLiteral("dev/serial/by-id/") + byId, QStringLiteral("../../") + kernelName);
}

void FakeDeviceTree::addPlainTty(const QString &kernelName, int uartType)
{
    const QString ttyDir = QStringLiteral("sys/devices/platform/serial0/tty/") + kernelName;
    addTty(kernelName, ttyDir, true);
    if (uartType >= 0)
        write(ttyDir + QStringLiteral("/type"), QByteArray::number(uartType) + '\n');
}

void FakeDeviceTree::addVirtualTty(const QString &kernelName)
{
    addTty(kernelName, QStringLiteral("sys/devices/virtual/tty/") + kernelName, false);
}

void FakeDeviceTree::addUsbPrinter(int lp, const QString &interfaceName,
                                   const QString &manufacturer, const QString &product,
                                   const QString &serial, const QString &node)
{
    const QString usbDevice = interfaceName.section(u':', 0, 0);
    const QString device = QStringLiteral("sys/%1/%2").arg(kUsbRoot, usbDevice);
    write(device + QStringLiteral("/idVendor"), "0a5f\n");
    const std::pair<const char *, QString> attributes[]
        = {{"manufacturer", manufacturer}, {"product", product}, {"serial", serial}};
    for (const auto &[name, text] : attributes)
        if (!text.isEmpty())
            write(device + u'/' + QLatin1String(name), text.toUtf8() + '\n');
    const QString interfaceDir = device + u'/' + interfaceName;
    write(interfaceDir + QStringLiteral("/bInterfaceClass"), "07\n");
    const QString lpName = QStringLiteral("lp%1").arg(lp);
    const QString lpDir = interfaceDir + QStringLiteral("/usbmisc/") + lpName;
    write(lpDir + QStringLiteral("/uevent"),
          QStringLiteral("MAJOR=180\nMINOR=%1\nDEVNAME=usb/%2\n").arg(lp).arg(lpName).toUtf8());
    link(QStringLiteral("sys/class/usbmisc/") + lpName, QStringLiteral("../../") + lpDir.mid(4));
    link(QStringLiteral("sys/bus/usb/devices/") + interfaceName,
         QStringLiteral("../../../") + interfaceDir.mid(4));
    node.isEmpty() ? write(QStringLiteral("dev/usb/") + lpName, {})
                   : link(QStringLiteral("dev/usb/") + lpName, node);
}

void FakeDeviceTree::addLooseUsbPrinter(int lp)
{
    const QString lpName = QStringLiteral("lp%1").arg(lp);
    const QString lpDir = QStringLiteral("sys/devices/virtual/usbmisc/") + lpName;
    write(lpDir + QStringLiteral("/uevent"), "DEVNAME=usb/" + lpName.toUtf8() + '\n');
    link(QStringLiteral("sys/class/usbmisc/") + lpName, QStringLiteral("../../") + lpDir.mid(4));
    write(QStringLiteral("dev/usb/") + lpName, {});
}

void FakeDeviceTree::removeUsbPrinter(int lp)
{
    const QString lpName = QStringLiteral("lp%1").arg(lp);
    const QString classLink = m_dir.filePath(QStringLiteral("sys/class/usbmisc/") + lpName);
    const QString lpDir = QFileInfo(classLink).canonicalFilePath();
    QFile::remove(classLink);
    if (!lpDir.isEmpty()) {
        QDir interfaceDir = QFileInfo(QFileInfo(lpDir).path()).dir(); // the interface goes too
        QFile::remove(
            m_dir.filePath(QStringLiteral("sys/bus/usb/devices/") + interfaceDir.dirName()));
        interfaceDir.removeRecursively();
    }
    QFile::remove(devPath(QStringLiteral("usb/") + lpName));
}
