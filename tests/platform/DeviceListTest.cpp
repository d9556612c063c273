#include "platform/SerialDeviceList.h"
#include "platform/UsbPrinterList.h"
#include "support/FakeDeviceTree.h"

#include <gtest/gtest.h>

namespace {

const QString kPlaceholder = QStringLiteral("\\\\?\\usb");

QStringList labels(const QList<SerialDeviceInfo> &devices)
{
    QStringList out;
    for (const SerialDeviceInfo &d : devices)
        out << serialDeviceLabel(d) + QStringLiteral(" -> ") + d.path;
    return out;
}

TEST(SerialDeviceListTest, listsHardwareTtysByTheirStableNamesWithKernelNameAndProduct)
{
    FakeDeviceTree tree;
    const QString byId = QStringLiteral("usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0");
    tree.addSerialAdapter(QStringLiteral("ttyUSB10"), QStringLiteral("1-3"), QString());
    tree.addSerialAdapter(QStringLiteral("ttyUSB2"), QStringLiteral("1-2"),
                          QStringLiteral("FT232R USB UART"), byId);
    tree.addSerialAdapter(QStringLiteral("ttyACM0"), QStringLiteral("1-4"),
                          QStringLiteral("Arduino Uno"));
    tree.addPlainTty(QStringLiteral("ttyAMA0"));
    // The classic ports are COM1 to COM8; 8250 slots without a UART are no ports.
    tree.addPlainTty(QStringLiteral("ttyS0"), 4);
    tree.addPlainTty(QStringLiteral("ttyS8"), 0);
    tree.addPlainTty(QStringLiteral("ttyS9"), 4);
    tree.addVirtualTty(QStringLiteral("tty1"));

    const QString dev = tree.roots().dev;
    EXPECT_EQ(
        labels(EnumSerialDevices(tree.roots())),
        QStringList({
            QStringLiteral("%1/ttyACM0 (Arduino Uno) -> %1/ttyACM0").arg(dev),
            QStringLiteral("%1/ttyAMA0 -> %1/ttyAMA0").arg(dev),
            QStringLiteral("%1/ttyS9 -> %1/ttyS9").arg(dev),
            QStringLiteral("%2 (ttyUSB2, FT232R USB UART) -> %1/serial/by-id/%2").arg(dev, byId),
            QStringLiteral("%1/ttyUSB10 -> %1/ttyUSB10").arg(dev),
        }));

    EXPECT_TRUE(EnumSerialDevices(FakeDeviceTree().roots()).isEmpty());
}

QStringList usbList(const DeviceRoots &roots)
{
    QStringList paths;
    QStringList names;
    EnumUsbDevices(paths, names, roots);
    EXPECT_EQ(paths.size(), names.size());
    QStringList out;
    for (qsizetype i = 0; i < paths.size() && i < names.size(); ++i)
        out << names[i] + QStringLiteral(" -> ") + paths[i];
    return out;
}

QString findPath(const QString &name, const DeviceRoots &roots)
{
    QString path = QStringLiteral("<unset>");
    FindUsbDevicePath(name, path, roots);
    return path;
}

TEST(UsbPrinterListTest, withoutPrintersTheListsHoldOnlyThePlaceholder)
{
    FakeDeviceTree tree;
    EXPECT_EQ(usbList(tree.roots()), QStringList({QStringLiteral("--- -> ") + kPlaceholder}));
    DeviceRoots nowhere;
    nowhere.sys = tree.sysPath(QStringLiteral("missing"));
    EXPECT_EQ(usbList(nowhere), QStringList({QStringLiteral("--- -> ") + kPlaceholder}));
    EXPECT_EQ(findPath(QStringLiteral("---"), tree.roots()), kPlaceholder);
    EXPECT_EQ(findPath(QStringLiteral("USB 1-1"), tree.roots()), kPlaceholder);
}

TEST(UsbPrinterListTest, printersAreNamedByLocationModelAndSerialAndFoundByTheirPortPath)
{
    FakeDeviceTree tree;
    // Two printers of one model, then one device with two printer interfaces
    // (same location, same serial), one that tells nothing about itself and
    // an lp node outside the USB tree.
    tree.addUsbPrinter(10, QStringLiteral("1-1.4:1.0"), QStringLiteral("Zebra"),
                       QStringLiteral("ZTC GK420d"), QStringLiteral("29J1"));
    tree.addUsbPrinter(2, QStringLiteral("1-2:1.0"), QStringLiteral("Zebra"),
                       QStringLiteral("ZTC GK420d"), QStringLiteral("29J2"));
    tree.addUsbPrinter(3, QStringLiteral("2-1:1.0"), QStringLiteral("r+k"),
                       QStringLiteral("r+k Printer"), QStringLiteral("77"));
    tree.addUsbPrinter(4, QStringLiteral("2-1:1.1"), QStringLiteral("r+k"),
                       QStringLiteral("r+k Printer"), QStringLiteral("77"));
    tree.addUsbPrinter(5, QStringLiteral("3-7:1.0"), QString(), QString(), QString());
    tree.addLooseUsbPrinter(6);

    const QString lp6 = tree.devPath(QStringLiteral("usb/lp6"));
    EXPECT_EQ(usbList(tree.roots()),
              QStringList({
                  QStringLiteral("--- -> ") + kPlaceholder,
                  QStringLiteral("USB 1-2: Zebra ZTC GK420d [29J2] -> usb:1-2:1.0"),
                  QStringLiteral("USB 2-1: r+k Printer [77] -> usb:2-1:1.0"),
                  QStringLiteral("USB 2-1: r+k Printer [77] -> usb:2-1:1.1"),
                  QStringLiteral("USB 3-7 -> usb:3-7:1.0"),
                  QStringLiteral("lp6 -> ") + lp6,
                  QStringLiteral("USB 1-1.4: Zebra ZTC GK420d [29J1] -> usb:1-1.4:1.0"),
              }));

    const struct
    {
        const char *name;
        QString path;
    } rows[] = {
        {"USB 1-1.4: Zebra ZTC GK420d [29J1]", QStringLiteral("usb:1-1.4:1.0")},
        {"USB 1-2: Zebra ZTC GK420d [29J2]", QStringLiteral("usb:1-2:1.0")},
        {"USB 2-1: r+k Printer [77]", QStringLiteral("usb:2-1:1.0")}, // the first of equals
        {"USB 3-7", QStringLiteral("usb:3-7:1.0")},
        {"lp6", lp6},
        {"usb 3-7", kPlaceholder}, // names compare exactly
        {"USB 1-2: Zebra ZTC GK420d", kPlaceholder},
    };
    for (const auto &row : rows)
        EXPECT_EQ(findPath(QLatin1String(row.name), tree.roots()), row.path) << row.name;

    // The port path finds the printer's node whatever its lp number.
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("usb:1-1.4:1.0"), tree.roots()),
              tree.devPath(QStringLiteral("usb/lp10")));
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("/dev/pts/7"), tree.roots()),
              QStringLiteral("/dev/pts/7"));

    // Unplugged after the list was read: not found any more.
    tree.removeUsbPrinter(10);
    EXPECT_EQ(findPath(QStringLiteral("USB 1-1.4: Zebra ZTC GK420d [29J1]"), tree.roots()),
              kPlaceholder);
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("usb:1-1.4:1.0"), tree.roots()), QString());
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("usb:../../etc"), tree.roots()), QString());
}

} // namespace
