#include "WriteCursor.h"

#include <algorithm>

CWriteCursor::CWriteCursor(std::span<const iovec> blocks)
    : m_left(blocks.begin(), blocks.end())
{
    skipEmpty();
}

int CWriteCursor::iovCount(std::size_t max) const
{
    return static_cast<int>(std::min(m_left.size() - std::min(m_block, m_left.size()), max));
}

bool CWriteCursor::advance(std::size_t bytes)
{
    const std::size_t before = m_block;
    while (bytes > 0 && !atEnd()) {
        iovec &current = m_left[m_block];
        const std::size_t n = std::min(bytes, current.iov_len);
        current.iov_base = static_cast<char *>(current.iov_base) + n;
        current.iov_len -= n;
        bytes -= n;
        skipEmpty();
    }
    return m_block != before;
}

void CWriteCursor::skipBlock()
{
    if (atEnd())
        return;
    m_left[m_block].iov_len = 0;
    skipEmpty();
}

void CWriteCursor::skipEmpty()
{
    while (!atEnd() && m_left[m_block].iov_len == 0)
        ++m_block;
}
