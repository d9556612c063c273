#include "LogFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

int AppendToLogFile(const QString &path, const void *data, std::uint32_t length,
                    std::uint32_t *written)
{
    if (written)
        *written = 0;
    if (path.isEmpty())
        return 0;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking: opening a FIFO for writing would otherwise wait for a
    // reader, and the window with it.
    const int fd = ::open(name.constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
    if (fd < 0)
        return errno == ENXIO ? kLogNotRegularFile : errno;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kLogNotRegularFile;
    }
    int error = AppendToDescriptor(fd, data, length, written);
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno; // a file system that reports a failed write only here
    return error;
}

int AppendToDescriptor(int fd, const void *data, std::uint32_t length, std::uint32_t *written)
{
    const char *p = static_cast<const char *>(data);
    std::uint32_t left = length;
    int error = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            // A pipe left non-blocking by whoever made it: wait for its reader.
            pollfd out{fd, POLLOUT, 0};
            ::poll(&out, 1, -1);
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        p += n;
        left -= static_cast<std::uint32_t>(n);
    }
    if (written)
        *written = length - left;
    return error;
}
