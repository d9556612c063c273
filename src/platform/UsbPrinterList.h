#pragma once

#include "platform/DeviceRoots.h"

#include <QString>
#include <QStringList>

// USB printer-class devices, as the kernel's usblp driver presents them: one
// /dev/usb/lpN node per printer interface, listed in sysfs under
// class/usbmisc/lpN.
//
// A device is stored by the USB port it is plugged into, "usb:" followed by
// the kernel's name of its printer interface (bus, hub ports, configuration
// and interface: "usb:1-1.4:1.0"). The lpN number is handed out anew at every
// plug-in; the port path finds the same printer again on the same socket.
// Any other path (/dev/usb/lp0, a pseudo-terminal) names a device node itself.
namespace UsbPrinters {
// The entry that stands for "no device": its path opens nothing.
inline const QString kPlaceholderPath = QStringLiteral("\\\\?\\usb");
inline const QString kPlaceholderName = QStringLiteral("---");
inline const QString kPortPathPrefix = QStringLiteral("usb:");
} // namespace UsbPrinters

// Fills two parallel lists, device paths and display names, with the
// placeholder first and the printers present after it in the order of their
// lp numbers. A name is the printer's location ("USB 1-1.4", with its
// manufacturer and product where the device tells them) followed by its serial
// number in brackets, so two printers of one model stay apart; two printer
// interfaces of one device are told apart by their interface numbers.
void EnumUsbDevices(QStringList &paths, QStringList &names, const DeviceRoots &roots = {});

// The path of the first printer present whose name is `name` exactly; the
// placeholder path when none is (or the placeholder's name was given).
void FindUsbDevicePath(const QString &name, QString &path, const DeviceRoots &roots = {});

// The device node that `path` opens: a port path looked up in sysfs (empty
// when no printer is plugged into that port), any other path unchanged.
QString UsbDeviceNode(const QString &path, const DeviceRoots &roots = {});

// A name for messages about the printer at `path`: its name in the device
// list while it is present ("USB 1-1.4: r+k Printer [42]"), its location for
// a port path that finds no printer now, the file name of any other path.
QString UsbDeviceTitle(const QString &path, const DeviceRoots &roots = {});
