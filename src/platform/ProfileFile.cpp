#include "ProfileFile.h"

#include "platform/AtomicFile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace profile {

int getInt(const QString &section, const QString &key, int def, const QString &path)
{
    return Snapshot(path).getInt(section, key, def);
}

QString getString(const QString &section, const QString &key, const QString &def, int maxChars,
                  const QString &path)
{
    return Snapshot(path).getString(section, key, def, maxChars);
}

namespace {

// Reads the whole file into `bytes`; a missing file gives no bytes. Returns 0,
// or the errno of the failure.
int readExisting(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : errno;
    int error = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            error = errno;
            break;
        }
    }
    ::close(fd);
    return error;
}

} // namespace

bool writeStrings(const QString &section, const KeyValues &values, const QString &path,
                  QString *error)
{
    // A file that exists but cannot be read must not be replaced by one that
    // holds only the new keys.
    QByteArray bytes;
    if (const int readError = readExisting(path, bytes)) {
        if (error)
            *error = AtomicFile::describe(readError);
        return false;
    }
    return AtomicFile::save(path, withStrings(bytes, section, values), error);
}

bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &path, QString *error)
{
    return writeStrings(section, {{key, value}}, path, error);
}

bool writeInt(const QString &section, const QString &key, int value, const QString &path,
              QString *error)
{
    return writeString(section, key, QString::number(value), path, error);
}

} // namespace profile
