#pragma once

#include <QString>

// The text of a small kernel attribute file (sysfs "product", "serial", /proc "comm"),
// trimmed; empty when the file is missing or unreadable. Reads at most 4 KiB,
// as sysfs never holds more in one attribute.
QString readSysfsText(const QString &path);
