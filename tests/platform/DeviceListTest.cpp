#include "platform/SerialDeviceList.h"
#include "platform/UsbPrinterList.h"
#include "support/FakeDeviceTree.h"

#include <gtest/gtest.h>

namespace {

const QString kPlaceholder = "\\\\?\\usb";

TEST(SerialDeviceList, listsHardwareTtysByTheirStableNamesWithKernelNameAndProduct)
{
    FakeDeviceTree tree;
    EXPECT_TRUE(EnumSerialDevices(tree.roots()).isEmpty());
    const QString byId = "usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0";
    tree.addSerialAdapter("ttyUSB10", "1-3", QString());
    tree.addSerialAdapter("ttyUSB2", "1-2", "FT232R USB UART", byId);
    tree.addPlainTty("ttyAMA0");
    // The classic ports are COM1 to COM8; 8250 slots without a UART are no ports.
    tree.addPlainTty("ttyS0", 4);
    tree.addPlainTty("ttyS8", 0);
    tree.addPlainTty("ttyS9", 4);
    tree.addVirtualTty("tty1");
    QStringList listed;
    for (const SerialDeviceInfo &d : EnumSerialDevices(tree.roots()))
        listed << serialDeviceLabel(d) + " -> " + d.path;
    const QString dev = tree.roots().dev;
    EXPECT_EQ(
        listed,
        QStringList({dev + "/ttyAMA0 -> " + dev + "/ttyAMA0", dev + "/ttyS9 -> " + dev + "/ttyS9",
                     byId + " (ttyUSB2, FT232R USB UART) -> " + dev + "/serial/by-id/" + byId,
                     dev + "/ttyUSB10 -> " + dev + "/ttyUSB10"}));
}

// The printers as listed (name -> port path); every name finds its path.
TEST(UsbPrinterList, printersAreNamedByLocationModelAndSerialAndFoundByTheirPortPath)
{
    FakeDeviceTree tree;
    const auto listed = [&](const DeviceRoots &roots) {
        QStringList paths, names, out;
        EnumUsbDevices(paths, names, roots);
        for (qsizetype i = 0; i < paths.size(); ++i)
            out << names.value(i) + " -> " + paths[i];
        EXPECT_EQ(paths.size(), names.size());
        return out;
    };
    const auto find = [&](const QString &name) {
        QString path = "<unset>";
        FindUsbDevicePath(name, path, tree.roots());
        return path;
    };
    const QString none = "--- -> " + kPlaceholder;
    DeviceRoots nowhere{tree.sysPath("missing")};
    EXPECT_EQ(listed(tree.roots()) + listed(nowhere), QStringList({none, none}));
    // Two interfaces of one device, a printer without details, an lp outside USB.
    tree.addUsbPrinter(10, "1-1.4:1.0", "Zebra", "ZTC GK420d", "29J1");
    tree.addUsbPrinter(3, "2-1:1.0", "r+k", "r+k Printer", "77");
    tree.addUsbPrinter(4, "2-1:1.1", "r+k", "r+k Printer", "77");
    tree.addUsbPrinter(5, "3-7:1.0", QString(), QString(), QString());
    tree.addLooseUsbPrinter(6);
    const QString lp6 = tree.devPath("usb/lp6");
    EXPECT_EQ(
        listed(tree.roots()),
        QStringList({none, "USB 2-1: r+k Printer [77] -> usb:2-1:1.0",
                     "USB 2-1: r+k Printer [77] -> usb:2-1:1.1", "USB 3-7 -> usb:3-7:1.0",
                     "lp6 -> " + lp6, "USB 1-1.4: Zebra ZTC GK420d [29J1] -> usb:1-1.4:1.0"}));
    const std::pair<const char *, QString> rows[] = {
        {"USB 2-1: r+k Printer [77]", "usb:2-1:1.0"}, // the first of equals
        {"USB 3-7", "usb:3-7:1.0"},
        {"lp6", lp6},
        {"usb 3-7", kPlaceholder}, // names compare exactly
        {"USB 2-1: r+k Printer", kPlaceholder},
        {"---", kPlaceholder},
    };
    for (const auto &[name, path] : rows)
        EXPECT_EQ(find(QLatin1String(name)), path) << name;

    // The port path finds the node whatever its lp number, until unplugged.
    EXPECT_EQ(UsbDeviceNode("usb:1-1.4:1.0", tree.roots()), tree.devPath("usb/lp10"));
    EXPECT_EQ(UsbDeviceNode("/dev/pts/7", tree.roots()), "/dev/pts/7");
    tree.removeUsbPrinter(10);
    EXPECT_EQ(find("USB 1-1.4: Zebra ZTC GK420d [29J1]"), kPlaceholder);
    EXPECT_EQ(UsbDeviceNode("usb:1-1.4:1.0", tree.roots()), QString());
    EXPECT_EQ(UsbDeviceNode("usb:../../etc", tree.roots()), QString());
}

} // namespace
