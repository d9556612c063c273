#include "DiskFileSink.h"

#include <algorithm>

namespace {
// Blocks arrive in a few KB at a time; the disk is written in larger steps.
constexpr std::size_t kWriteSize = 256 * 1024;
} // namespace

CDiskFileSink::CDiskFileSink(const QString &path)
    : m_path(path)
    , m_file(path)
{}

CDiskFileSink::~CDiskFileSink()
{
    abandon();
}

bool CDiskFileSink::fail()
{
    m_error = m_file.errorString();
    m_pending.clear();
    return false;
}

bool CDiskFileSink::begin()
{
    m_pending.clear();
    m_pending.reserve(kWriteSize);
    m_open = m_file.open();
    return m_open || fail();
}

bool CDiskFileSink::flush()
{
    if (m_pending.empty())
        return true;
    if (!m_file.write(reinterpret_cast<const char *>(m_pending.data()),
                      static_cast<qsizetype>(m_pending.size())))
        return fail();
    m_pending.clear();
    return true;
}

bool CDiskFileSink::write(const std::uint8_t *data, std::size_t length)
{
    if (!m_open)
        return false;
    while (length > 0) {
        const std::size_t n = std::min(length, kWriteSize - m_pending.size());
        m_pending.insert(m_pending.end(), data, data + n);
        data += n;
        length -= n;
        if (m_pending.size() == kWriteSize && !flush())
            return false;
    }
    return true;
}

bool CDiskFileSink::end()
{
    if (!m_open)
        return false;
    m_open = false;
    if (!flush() || !m_file.commit())
        return fail();
    return true;
}

QString CDiskFileSink::abandon()
{
    if (!m_open)
        return {};
    m_open = false;
    // What arrived is kept beside the target, as far as the disk takes it;
    // the target itself stays as it was.
    flush();
    if (m_file.bytesOnDisk() == 0) {
        m_file.discard();
        return {};
    }
    const QString part = partPath(m_path);
    return m_file.keepAs(part) ? part : QString();
}
