#include "LogFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool AppendToLogFile(const QString &path, const void *data, std::uint32_t length)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const char *p = static_cast<const char *>(data);
    std::uint32_t left = length;
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::uint32_t>(n);
    }
    ::close(fd);
    return ok;
}
