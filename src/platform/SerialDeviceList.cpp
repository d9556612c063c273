#include "SerialDeviceList.h"

#include "platform/SysfsText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// ttyS0 to ttyS7 are the fixed entries COM1 to COM8.
constexpr int kComPorts = 8;

// The hardware behind a tty: the device link's target and its parents up to
// the USB device, whose "product" names the adapter.
QString productOf(const QString &ttyDir)
{
    const QString device = QFileInfo(ttyDir + QStringLiteral("/device")).canonicalFilePath();
    if (device.isEmpty())
        return {};
    QDir dir(device);
    // usb-serial port (ttyUSB), interface (ttyACM), USB device: three steps at most.
    for (int level = 0; level < 4; ++level) {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor")))) {
            const QString product = readSysfsText(dir.filePath(QStringLiteral("product")));
            return product.isEmpty() ? readSysfsText(dir.filePath(QStringLiteral("manufacturer")))
                                     : product;
        }
        if (!dir.cdUp())
            break;
    }
    return {};
}

bool isListed(const QString &name, const QString &ttyDir)
{
    // Virtual consoles, pseudo-terminals and the console have no hardware.
    if (!QFileInfo::exists(ttyDir + QStringLiteral("/device")))
        return false;
    if (name.startsWith(QLatin1String("ttyS"))) {
        bool numeric = false;
        const int n = name.mid(4).toInt(&numeric);
        if (numeric && n < kComPorts)
            return false;
        // The 8250 driver registers ports for which no UART was found (type 0).
        return readSysfsText(ttyDir + QStringLiteral("/type")).toInt() != 0;
    }
    return true;
}

// ttyUSB2 before ttyUSB10.
bool naturalLess(const QString &a, const QString &b)
{
    const auto split = [](const QString &s) {
        qsizetype i = s.size();
        while (i > 0 && s[i - 1].isDigit())
            --i;
        return std::make_pair(s.left(i), s.mid(i).toLongLong());
    };
    return split(a) < split(b);
}

} // namespace

QList<SerialDeviceInfo> EnumSerialDevices(const DeviceRoots &roots)
{
    // By-id links first, so that each device can be named by its link.
    QHash<QString, QString> byId; // kernel name -> link file name
    const QDir byIdDir(roots.dev + QStringLiteral("/serial/by-id"));
    for (const QFileInfo &link : byIdDir.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        if (!link.isSymLink())
            continue;
        const QString target = QFileInfo(link.symLinkTarget()).fileName();
        if (!target.isEmpty() && !byId.contains(target))
            byId.insert(target, link.fileName());
    }

    const QString classDir = roots.sys + QStringLiteral("/class/tty");
    QStringList names = QDir(classDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), naturalLess);

    QList<SerialDeviceInfo> devices;
    for (const QString &name : names) {
        const QString ttyDir = classDir + u'/' + name;
        const QString node = roots.dev + u'/' + name;
        if (!isListed(name, ttyDir) || !QFileInfo::exists(node))
            continue;
        SerialDeviceInfo d;
        d.kernelName = name;
        d.byIdName = byId.value(name);
        d.path = d.byIdName.isEmpty() ? node : byIdDir.filePath(d.byIdName);
        d.product = productOf(ttyDir);
        devices.append(d);
    }
    return devices;
}

QString serialDeviceLabel(const SerialDeviceInfo &device)
{
    if (device.byIdName.isEmpty()) {
        return device.product.isEmpty()
                   ? device.path
                   : QStringLiteral("%1 (%2)").arg(device.path, device.product);
    }
    QStringList details{device.kernelName};
    if (!device.product.isEmpty())
        details << device.product;
    return QStringLiteral("%1 (%2)").arg(device.byIdName, details.join(QStringLiteral(", ")));
}
