#pragma once

#include <QString>

// Where the device lists look: the kernel's sysfs and the device nodes. Tests
// point them at fake trees in a temporary folder.
struct DeviceRoots
{
    QString sys = QStringLiteral("/sys");
    QString dev = QStringLiteral("/dev");
};
