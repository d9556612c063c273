#include "platform/SerialDeviceList.h"
#include "platform/UsbPrinterList.h"
#include "support/FakeDeviceTree.h"

#include <gtest/gtest.h>

namespace {

const QString kPlaceholder = "\\\\?\\usb";

// Label -> path in natural order; ttyS0-7 are COM1-8, UART-less ttyS and consoles no devices.
TEST(SerialDeviceList, hardwareTtysAreListedByTheirStableNamesWithKernelNameAndProduct)
{
    FakeDeviceTree tree;
    EXPECT_TRUE(EnumSerialDevices(tree.roots()).isEmpty());
    const QString byId = "usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0", dev = tree.roots().dev;
    tree.addSerialAdapter("ttyUSB10", "1-3", QString());
    tree.addSerialAdapter("ttyUSB2", "1-2", "FT232R USB UART", byId);
    tree.addSerialAdapter("ttyACM0", "1-4", "Arduino Uno");
    tree.addPlainTty("ttyAMA0");
    for (const auto &[name, uart] :
         {std::pair{"ttyS0", 4}, {"ttyS7", 4}, {"ttyS8", 0}, {"ttyS9", 4}})
        tree.addPlainTty(name, uart);
    tree.addVirtualTty("tty1");
    QStringList listed;
    for (const SerialDeviceInfo &d : EnumSerialDevices(tree.roots()))
        listed << serialDeviceLabel(d) + " -> " + d.path;
    EXPECT_EQ(
        listed,
        QStringList({dev + "/ttyACM0 (Arduino Uno) -> " + dev + "/ttyACM0",
                     dev + "/ttyAMA0 -> " + dev + "/ttyAMA0", dev + "/ttyS9 -> " + dev + "/ttyS9",
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
    const QString rk = "USB 2-1: r+k Printer [77] (interface ";
    EXPECT_EQ(listed(tree.roots()),
              QStringList({none, rk + "0) -> usb:2-1:1.0", rk + "1) -> usb:2-1:1.1",
                           "USB 3-7 -> usb:3-7:1.0", "lp6 -> " + lp6,
                           "USB 1-1.4: Zebra ZTC GK420d [29J1] -> usb:1-1.4:1.0"}));
    const std::pair<QString, QString> rows[] = {
        {rk + "1)", "usb:2-1:1.1"}, // interfaces of one device apart
        {"USB 2-1: r+k Printer [77]", kPlaceholder},
        {"USB 3-7", "usb:3-7:1.0"},
        {"lp6", lp6},
        {"usb 3-7", kPlaceholder}, // names compare exactly
        {"---", kPlaceholder},
    };
    for (const auto &[name, path] : rows)
        EXPECT_EQ(find(name), path) << name.toStdString();

    // The port path finds the node whatever its lp number, until unplugged.
    EXPECT_EQ(UsbDeviceNode("usb:1-1.4:1.0", tree.roots()), tree.devPath("usb/lp10"));
    tree.removeUsbPrinter(10);
    EXPECT_EQ(find("USB 1-1.4: Zebra ZTC GK420d [29J1]"), kPlaceholder);
    EXPECT_TRUE(UsbDeviceNode("usb:1-1.4:1.0", tree.roots()).isEmpty()
                && UsbDeviceNode("usb:../../etc", tree.roots()).isEmpty());
}

} // namespace
