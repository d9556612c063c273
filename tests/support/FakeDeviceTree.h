#pragma once

#include "platform/DeviceRoots.h"

#include <QString>
#include <QTemporaryDir>

// A sysfs and /dev tree in a temporary folder, laid out as the kernel lays
// out USB serial adapters, other ttys and usblp printers, for the device lists
// to read instead of the machine's own.
class FakeDeviceTree final
{
public:
    FakeDeviceTree();

    DeviceRoots roots() const { return {m_dir.filePath("sys"), m_dir.filePath("dev")}; }
    QString sysPath(const QString &relative) const { return m_dir.filePath("sys/" + relative); }
    QString devPath(const QString &relative) const { return m_dir.filePath("dev/" + relative); }

    // A USB serial adapter: tty `kernelName` (ttyUSB0, ttyACM0) on the USB
    // device `usbDevice` ("1-2") with its product text (none when empty), and
    // a /dev/serial/by-id link when `byId` is given.
    void addSerialAdapter(const QString &kernelName, const QString &usbDevice,
                          const QString &product, const QString &byId = {});
    // A tty with hardware behind it but no USB device (ttyAMA0, ttyS4);
    // `uartType` is written to its "type" file when not negative.
    void addPlainTty(const QString &kernelName, int uartType = -1);
    // A tty without hardware (a virtual console).
    void addVirtualTty(const QString &kernelName);

    // A printer interface `interfaceName` ("1-1.4:1.0") bound to usblp as lpN.
    // Empty texts leave their sysfs file out. `node` (when given) becomes the
    // target of the /dev/usb/lpN link instead of a plain file.
    void addUsbPrinter(int lp, const QString &interfaceName, const QString &manufacturer,
                       const QString &product, const QString &serial, const QString &node = {});
    // An lpN entry whose device is not in the USB tree.
    void addLooseUsbPrinter(int lp);
    // Unplugs printer lpN: its sysfs entries and node go.
    void removeUsbPrinter(int lp);

private:
    // A tty at `ttyDir` in sysfs, its class entry and its node; `hardware`
    // gives it a device.
    void addTty(const QString &kernelName, const QString &ttyDir, bool hardware) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    void link(const QString &relative, const QString &target) const;
    QString makeRoomFor(const QString &relative) const;

    QTemporaryDir m_dir;
};
