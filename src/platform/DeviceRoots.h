#pragma once

#include <QString>

// Where the device lists look: the kernel's sysfs, the device nodes and the
// process table. Tests point them at fake trees in a temporary folder.
struct DeviceRoots
{
    QString sys = QStringLiteral("/sys");
    QString dev = QStringLiteral("/dev");
    QString proc = QStringLiteral("/proc");
};
