#include "DiskFileSink.h"

#include <algorithm>

namespace {
// Blocks arrive in a few KB at a time; the disk is written in larger steps.
constexpr std::size_t kWriteSize = 256 * 1024;
} // namespace

CDiskFileSink::CDiskFileSink(const QString &path)
    : m_file(path)
{}

CDiskFileSink::~CDiskFileSink()
{
    abandon();
}

void CDiskFileSink::fail()
{
    m_error = m_file.errorString();
    m_pending.clear();
    m_file.close();
}

bool CDiskFileSink::begin()
{
    m_pending.clear();
    m_pending.reserve(kWriteSize);
    // Replaces what was there, like deleting the old file first.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        fail();
        return false;
    }
    return true;
}

bool CDiskFileSink::flush()
{
    if (m_pending.empty())
        return true;
    const auto size = static_cast<qint64>(m_pending.size());
    if (m_file.write(reinterpret_cast<const char *>(m_pending.data()), size) != size) {
        fail();
        return false;
    }
    m_pending.clear();
    return true;
}

bool CDiskFileSink::write(const std::uint8_t *data, std::size_t length)
{
    if (!m_file.isOpen())
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
    if (!m_file.isOpen())
        return false;
    if (!flush())
        return false;
    m_file.close();
    return true;
}

void CDiskFileSink::abandon()
{
    if (!m_file.isOpen())
        return;
    // What arrived stays in the file, as far as the disk takes it.
    flush();
    m_file.close();
}
