#pragma once

#include <QString>

// The text of a small sysfs attribute file ("product", "serial", "busnum"),
// trimmed; empty when the file is missing or unreadable. Reads at most 4 KiB,
// as sysfs never holds more in one attribute.
QString readSysfsText(const QString &path);
