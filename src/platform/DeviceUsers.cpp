#include "DeviceUsers.h"

#include "platform/SysfsText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Another process than this program's own.
bool isPid(const QString &name, qint64 &pid)
{
    bool ok = false;
    pid = name.toLongLong(&ok);
    return ok && pid > 0 && pid != ::getpid();
}

void sortByPid(QList<DeviceUser> &users)
{
    std::sort(users.begin(), users.end(),
              [](const DeviceUser &a, const DeviceUser &b) { return a.pid < b.pid; });
}

void addUser(QList<DeviceUser> &users, qint64 pid, const QString &procRoot)
{
    for (const DeviceUser &u : users) {
        if (u.pid == pid)
            return;
    }
    users.append({pid, readSysfsText(QStringLiteral("%1/%2/comm").arg(procRoot).arg(pid))});
}

// /proc/locks: "1: FLOCK  ADVISORY  WRITE 4711 00:05:1234 0 EOF". The device
// field is the file system's major:minor in hex and the inode in decimal.
void addLockHolders(QList<DeviceUser> &users, const struct stat &st, const QString &procRoot)
{
    QFile locks(procRoot + QStringLiteral("/locks"));
    if (!locks.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString wanted = QStringLiteral("%1:%2:%3")
                               .arg(major(st.st_dev), 2, 16, QLatin1Char('0'))
                               .arg(minor(st.st_dev), 2, 16, QLatin1Char('0'))
                               .arg(st.st_ino);
    while (!locks.atEnd()) {
        const QStringList fields
            = QString::fromLatin1(locks.readLine()).split(u' ', Qt::SkipEmptyParts);
        // Waiters ("->") hold nothing.
        if (fields.size() < 6 || fields.at(1) == u"->")
            continue;
        qint64 pid = 0;
        if (fields.at(5).compare(wanted, Qt::CaseInsensitive) == 0 && isPid(fields.at(4), pid))
            addUser(users, pid, procRoot);
    }
}

} // namespace

QList<DeviceUser> FindDeviceUsers(const QString &devicePath, const QString &procRoot)
{
    QList<DeviceUser> users;
    const QString target = QFileInfo(devicePath).canonicalFilePath();
    if (target.isEmpty())
        return users;

    const QDir proc(procRoot);
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        qint64 pid = 0;
        if (!isPid(entry, pid))
            continue;
        // Descriptors of other users' processes are not readable; skipped.
        const QDir fds(proc.filePath(entry) + QStringLiteral("/fd"));
        for (const QFileInfo &fd :
             fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == target) {
                addUser(users, pid, procRoot);
                break;
            }
        }
    }

    struct stat st
    {
    };
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        addLockHolders(users, st, procRoot);
    sortByPid(users);
    return users;
}

QList<DeviceUser> FindProcessesNamed(const QString &name, const QString &procRoot)
{
    QList<DeviceUser> found;
    for (const QString &entry : QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        qint64 pid = 0;
        if (isPid(entry, pid)
            && readSysfsText(QStringLiteral("%1/%2/comm").arg(procRoot, entry)) == name)
            found.append({pid, name});
    }
    sortByPid(found);
    return found;
}
