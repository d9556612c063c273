#pragma once

#include "platform/DeviceRoots.h"

#include <QList>
#include <QString>

// A serial device that is present, as the port settings list it.
struct SerialDeviceInfo
{
    // What "Com"/"Device" stores: the /dev/serial/by-id link when there is one
    // (it survives re-plugging and names the adapter), the device node otherwise.
    QString path;
    QString kernelName; // ttyUSB0, ttyACM0, ttyAMA0
    QString byIdName;   // file name of the by-id link, empty without one
    QString product;    // the adapter's product text from sysfs, may be empty
};

// The serial devices present now, ordered by their kernel names (ttyACM0,
// ttyUSB0, ttyUSB1, ttyUSB10): every tty that the kernel ties to hardware,
// except the classic ttyS0 to ttyS7 (COM1 to COM8) and ttyS ports without a UART.
QList<SerialDeviceInfo> EnumSerialDevices(const DeviceRoots &roots = {});

// The text of a device in the list: its by-id name (or its node), then the
// kernel name and the product text in brackets.
QString serialDeviceLabel(const SerialDeviceInfo &device);
