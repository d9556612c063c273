#include "platform/SerialDeviceList.h"
#include "platform/UsbPrinterList.h"
#include "support/FakeDeviceTree.h"

#include <gtest/gtest.h>

namespace {

const QString kPlaceholder = QStringLiteral("\\\\?\\usb");

TEST(SerialDeviceList, listsHardwareTtysByTheirStableNamesWithKernelNameAndProduct)
{
    FakeDeviceTree tree;
    EXPECT_TRUE(EnumSerialDevices(tree.roots()).isEmpty());
    const QString byId = QStringLiteral("usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0");
    tree.addSerialAdapter(QStringLiteral("ttyUSB10"), QStringLiteral("1-3"), QString());
    tree.addSerialAdapter(QStringLiteral("ttyUSB2"), QStringLiteral("1-2"),
                          QStringLiteral("FT232R USB UART"), byId);
    tree.addPlainTty(QStringLiteral("ttyAMA0"));
    // The classic ports are COM1 to COM8; 8250 slots without a UART are no ports.
    tree.addPlainTty(QStringLiteral("ttyS0"), 4);
    tree.addPlainTty(QStringLiteral("ttyS8"), 0);
    tree.addPlainTty(QStringLiteral("ttyS9"), 4);
    tree.addVirtualTty(QStringLiteral("tty1"));
    QStringList listed;
    for (const SerialDeviceInfo &d : EnumSerialDevices(tree.roots()))
        listed << serialDeviceLabel(d) + QStringLiteral(" -> ") + d.path;
    const QString dev = tree.roots().dev;
    EXPECT_EQ(
        listed,
        QStringList({dev + "/ttyAMA0 -> " + dev + "/ttyAMA0", dev + "/ttyS9 -> " + dev + "/ttyS9",
                     byId + " (ttyUSB2, FT232R USB UART) -> " + dev + "/serial/by-id/" + byId,
                     dev + "/ttyUSB10 -> " + dev + "/ttyUSB10"}));
}

// The printers as the list shows them (name -> port path), after the
// placeholder for none; every name finds its path.
TEST(UsbPrinterList, printersAreNamedByLocationModelAndSerialAndFoundByTheirPortPath)
{
    FakeDeviceTree tree;
    const auto listed = [&](const DeviceRoots &roots) {
        QStringList paths, names, out;
        EnumUsbDevices(paths, names, roots);
        for (qsizetype i = 0; i < paths.size(); ++i)
            out << names.value(i) + QStringLiteral(" -> ") + paths[i];
        EXPECT_EQ(paths.size(), names.size());
        return out;
    };
    const auto find = [&](const QString &name) {
        QString path = QStringLiteral("<unset>");
        FindUsbDevicePath(name, path, tree.roots());
        return path;
    };
    const QString none = QStringLiteral("--- -> ") + kPlaceholder;
    DeviceRoots nowhere{tree.sysPath(QStringLiteral("missing"))};
    EXPECT_EQ(listed(tree.roots()) + listed(nowhere), QStringList({none, none}));
    // One device with two printer interfaces (same location, same serial),
    // one that tells nothing about itself and an lp node outside the USB tree.
    tree.addUsbPrinter(10, QStringLiteral("1-1.4:1.0"), QStringLiteral("Zebra"),
                       QStringLiteral("ZTC GK420d"), QStringLiteral("29J1"));
    tree.addUsbPrinter(3, QStringLiteral("2-1:1.0"), QStringLiteral("r+k"),
                       QStringLiteral("r+k Printer"), QStringLiteral("77"));
    tree.addUsbPrinter(4, QStringLiteral("2-1:1.1"), QStringLiteral("r+k"),
                       QStringLiteral("r+k Printer"), QStringLiteral("77"));
    tree.addUsbPrinter(5, QStringLiteral("3-7:1.0"), QString(), QString(), QString());
    tree.addLooseUsbPrinter(6);
    const QString lp6 = tree.devPath(QStringLiteral("usb/lp6"));
    EXPECT_EQ(
        listed(tree.roots()),
        QStringList({none, "USB 2-1: r+k Printer [77] -> usb:2-1:1.0",
                     "USB 2-1: r+k Printer [77] -> usb:2-1:1.1", "USB 3-7 -> usb:3-7:1.0",
                     "lp6 -> " + lp6, "USB 1-1.4: Zebra ZTC GK420d [29J1] -> usb:1-1.4:1.0"}));
    const std::pair<const char *, QString> rows[] = {
        {"USB 2-1: r+k Printer [77]", QStringLiteral("usb:2-1:1.0")}, // the first of equals
        {"USB 3-7", QStringLiteral("usb:3-7:1.0")},
        {"lp6", lp6},
        {"usb 3-7", kPlaceholder}, // names compare exactly
        {"USB 2-1: r+k Printer", kPlaceholder},
        {"---", kPlaceholder},
    };
    for (const auto &[name, path] : rows)
        EXPECT_EQ(find(QLatin1String(name)), path) << name;

    // The port path finds the printer's node whatever its lp number; an
    // unplugged printer is not found any more.
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("usb:1-1.4:1.0"), tree.roots()),
              tree.devPath(QStringLiteral("usb/lp10")));
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("/dev/pts/7"), tree.roots()), "/dev/pts/7");
    tree.removeUsbPrinter(10);
    EXPECT_EQ(find(QStringLiteral("USB 1-1.4: Zebra ZTC GK420d [29J1]")), kPlaceholder);
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("usb:1-1.4:1.0"), tree.roots()), QString());
    EXPECT_EQ(UsbDeviceNode(QStringLiteral("usb:../../etc"), tree.roots()), QString());
}

} // namespace
