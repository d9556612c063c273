#pragma once

#include <QList>
#include <QString>

// A process that holds a device open or locked.
struct DeviceUser
{
    qint64 pid = 0;
    QString name; // the process's command name
};

// The other processes that hold `devicePath` (after symbolic links), found through
// the process table under `procRoot`: the open files of every process whose
// descriptors this user may see, and the flock() locks of all processes.
// Ordered by process id, each process once. Empty when nothing is found, for
// example when a system service holds the device without a lock.
QList<DeviceUser> FindDeviceUsers(const QString &devicePath,
                                  const QString &procRoot = QStringLiteral("/proc"));

// The processes whose command name is `name`, by process id.
QList<DeviceUser> FindProcessesNamed(const QString &name,
                                     const QString &procRoot = QStringLiteral("/proc"));
