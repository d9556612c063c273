#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link or does not exist); empty with `error` set for a loop.
QString followLinks(const QString &path, int &error)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (::lstat(nativePath(current).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(nativePath(current).constData(), target.data(), target.size());
        if (n < 0 || n >= target.size()) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        target.truncate(n);
        current = QDir::cleanPath(
            QFileInfo(current).absoluteDir().absoluteFilePath(QFile::decodeName(target)));
    }
    error = ELOOP;
    return {};
}

bool writeAll(int fd, const char *data, qsizetype size, off_t offset, bool positioned)
{
    while (size > 0) {
        const ssize_t n = positioned ? ::pwrite(fd, data, static_cast<size_t>(size), offset)
                                     : ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void syncFolder(const QString &file)
{
    const int fd = ::open(nativePath(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(const QString &path)
    : m_path(path)
{}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::fail(int error)
{
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
    return false;
}

bool AtomicFile::open()
{
    discard();
    m_error = 0;
    int error = 0;
    m_target = followLinks(m_path, error);
    if (m_target.isEmpty())
        return fail(error);
    struct stat st;
    if (::stat(nativePath(m_target).constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return fail(EISDIR);
    if (const int reason = openTemporary()) {
        // The folder refuses the temporary file, the file itself may be written.
        if (m_directWriteFallback && (reason == EACCES || reason == EPERM)
            && ::access(nativePath(m_target).constData(), W_OK) == 0) {
            m_direct = true;
            m_open = true;
            return true;
        }
        return fail(reason);
    }
    m_open = true;
    return true;
}

int AtomicFile::openTemporary()
{
    struct stat old;
    const bool exists = ::stat(nativePath(m_target).constData(), &old) == 0;
    const QFileInfo info(m_target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = info.absoluteDir().absoluteFilePath(
            QStringLiteral(".%1.%2")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0')));
        // A new file gets the usual mode for new files (the umask applies).
        const int fd = ::open(nativePath(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        if (exists) {
            // The replacement is the same file to everybody who used the old one.
            if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
                (void)!::fchown(fd, old.st_uid, old.st_gid);
            ::fchmod(fd, old.st_mode & 07777);
        }
        m_fd = fd;
        m_tempPath = candidate;
        return 0;
    }
    return EEXIST;
}

bool AtomicFile::write(const char *data, qsizetype size)
{
    if (!m_open || m_error != 0)
        return fail(EBADF);
    if (m_direct) {
        m_directBytes.append(data, size);
        return true;
    }
    if (!writeAll(m_fd, data, size, 0, false))
        return fail(errno);
    return true;
}

bool AtomicFile::commit()
{
    if (!m_open || m_error != 0) {
        fail(EBADF);
        discard();
        return false;
    }
    if (m_direct) {
        const bool ok = commitDirect();
        discard();
        return ok;
    }
    return moveTemporaryTo(m_target);
}

qint64 AtomicFile::bytesOnDisk() const
{
    struct stat st;
    if (m_direct)
        return m_directBytes.size();
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
}

bool AtomicFile::keepAs(const QString &path)
{
    if (!m_open || m_direct || m_fd < 0) {
        discard();
        return fail(EBADF);
    }
    return moveTemporaryTo(path);
}

bool AtomicFile::moveTemporaryTo(const QString &path)
{
    // The data must be on the disk before the rename makes it the file: a
    // crash after the rename must not find an empty or half-written file.
    if (::fsync(m_fd) != 0) {
        fail(errno);
        discard();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0
        || ::rename(nativePath(m_tempPath).constData(), nativePath(path).constData()) != 0) {
        fail(errno);
        discard();
        return false;
    }
    m_tempPath.clear();
    m_open = false;
    syncFolder(path);
    return true;
}

bool AtomicFile::commitDirect()
{
    const int fd = ::open(nativePath(m_target).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    const auto size = static_cast<off_t>(m_directBytes.size());
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && size > st.st_size) {
        // Room for the new size first: a full disk then stops us before any
        // old byte is overwritten.
        const int reserved = ::posix_fallocate(fd, 0, size);
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            errno = reserved;
            ok = false;
        }
    }
    ok = ok && writeAll(fd, m_directBytes.constData(), m_directBytes.size(), 0, true)
         && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
    if (!ok)
        fail(errno);
    if (::close(fd) != 0 && ok)
        ok = fail(errno);
    return ok;
}

void AtomicFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.isEmpty()) {
        ::unlink(nativePath(m_tempPath).constData());
        m_tempPath.clear();
    }
    m_directBytes.clear();
    m_direct = false;
    m_open = false;
}

bool AtomicFile::save(const QString &path, const QByteArray &bytes, QString *errorText)
{
    AtomicFile file(path);
    file.setDirectWriteFallback(true);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (errorText)
        *errorText = file.errorString();
    return false;
}

QString AtomicFile::describe(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return tr("The disk is full.");
    case EACCES:
    case EPERM:
        return tr("Access was denied.");
    case EROFS:
        return tr("The disk is write-protected.");
    case ENOENT:
    case ENOTDIR:
        return tr("The folder does not exist.");
    case EISDIR:
        return tr("It is a folder.");
    default:
        return qt_error_string(error);
    }
}
