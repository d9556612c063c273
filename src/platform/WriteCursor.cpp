#include "WriteCursor.h"

#include <algorithm>

CWriteCursor::CWriteCursor(const BlockRun &run)
    : m_run(run)
{
    settle();
}

std::size_t CWriteCursor::advance(std::size_t bytes)
{
    m_done = std::min(m_done + bytes, m_run.bytes.size());
    return settle();
}

std::size_t CWriteCursor::skipBlock()
{
    if (atEnd())
        return 0;
    m_done = m_run.ends[m_block];
    return settle();
}

std::size_t CWriteCursor::settle()
{
    // Blocks of no bytes are done as soon as they are reached.
    const std::size_t before = m_block;
    while (m_block < m_run.size() && m_run.ends[m_block] <= m_done)
        ++m_block;
    return m_block - before;
}
