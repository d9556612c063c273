#include "LogWriter.h"

#include "display/LogFile.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <unistd.h>

bool CLogWriter::append(const QString &path, const char *data, qsizetype length)
{
    if (path.isEmpty() || length <= 0)
        return false;
    if (path != m_path) {
        flush();
        m_path = path;
    }
    const bool first = m_pending.isEmpty();
    m_pending.append(data, length);
    if (m_pending.size() >= kMaxPending) {
        flush();
        return false;
    }
    return first;
}

void CLogWriter::flush()
{
    if (m_pending.isEmpty())
        return;
    std::uint32_t written = 0;
    const auto size = static_cast<std::uint32_t>(m_pending.size());
    const int error = writesStandardOutput()
                          ? AppendToDescriptor(STDOUT_FILENO, m_pending.constData(), size, &written)
                          : AppendToLogFile(m_path, m_pending.constData(), size, &written);
    const std::uint64_t lost = static_cast<std::uint64_t>(m_pending.size()) - written;
    // The memory stays for the next slice: freed, it would come back as
    // fresh pages to fault in every time.
    m_pending.truncate(0);

    if (error != 0) {
        const bool news = !m_status.failing || m_status.path != m_path;
        if (news)
            m_status = {true, m_path, error, 0};
        m_status.error = error;
        m_status.lost += lost;
        if (news && m_onStatus)
            m_onStatus(m_status);
    } else if (m_status.failing) {
        m_status.failing = false;
        m_status.path = m_path;
        if (m_onStatus)
            m_onStatus(m_status);
        m_status = {};
    }
}

bool CLogWriter::writesStandardOutput() const
{
    return m_dashIsStandardOutput && m_path == QLatin1String("-");
}

void CLogWriter::forget()
{
    flush();
    if (!m_status.failing)
        return;
    m_status.failing = false;
    m_status.dismissed = true;
    if (m_onStatus)
        m_onStatus(m_status);
    m_status = {};
}

QString CLogWriter::describe(int error)
{
    const char *text = nullptr;
    switch (error) {
    case kLogNotRegularFile:
        text = QT_TRANSLATE_NOOP("CLogWriter", "it is not a regular file");
        break;
    case ENOSPC:
        text = QT_TRANSLATE_NOOP("CLogWriter", "the disk is full");
        break;
    case EDQUOT:
        text = QT_TRANSLATE_NOOP("CLogWriter", "the disk quota is used up");
        break;
    case EFBIG:
        text = QT_TRANSLATE_NOOP("CLogWriter", "the file has reached the largest size allowed");
        break;
    case EACCES:
    case EPERM:
        text = QT_TRANSLATE_NOOP("CLogWriter", "there is no permission to write it");
        break;
    case EROFS:
        text = QT_TRANSLATE_NOOP("CLogWriter", "it is on a read-only file system");
        break;
    case ENOENT:
        text = QT_TRANSLATE_NOOP("CLogWriter", "its folder does not exist");
        break;
    case ENOTDIR:
        text = QT_TRANSLATE_NOOP("CLogWriter", "a part of its path is not a folder");
        break;
    case EISDIR:
        text = QT_TRANSLATE_NOOP("CLogWriter", "it is a folder");
        break;
    case ENAMETOOLONG:
        text = QT_TRANSLATE_NOOP("CLogWriter", "its path is too long");
        break;
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
    return QCoreApplication::translate("CLogWriter", text);
}
