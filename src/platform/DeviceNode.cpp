#include "DeviceNode.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace devicenode {

bool present(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    return !name.isEmpty() && ::access(name.constData(), F_OK) == 0;
}

bool stillOpenAt(const QString &path, int fd)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat atPath
    {
    };
    struct stat open
    {
    };
    if (name.isEmpty() || ::stat(name.constData(), &atPath) != 0 || ::fstat(fd, &open) != 0)
        return false;
    // A device node is known by its device number; anything else by its inode.
    if (S_ISCHR(open.st_mode) || S_ISBLK(open.st_mode))
        return atPath.st_rdev == open.st_rdev
               && (atPath.st_mode & S_IFMT) == (open.st_mode & S_IFMT);
    return atPath.st_dev == open.st_dev && atPath.st_ino == open.st_ino;
}

} // namespace devicenode
