#include "InputHistory.h"

void CInputHistory::add(const QString &text)
{
    if (!text.isEmpty() && (m_entries.isEmpty() || m_entries.constLast() != text)) {
        m_entries << text;
        if (m_entries.size() > kMaxEntries)
            m_entries.removeFirst();
    }
    m_position = m_entries.size();
    m_draft.clear();
}

std::optional<QString> CInputHistory::older(const QString &current)
{
    qsizetype p = m_position;
    while (p > 0 && m_entries[p - 1] == current)
        --p;
    if (p == 0)
        return std::nullopt;
    if (m_position == m_entries.size())
        m_draft = current; // recalling begins: what was typed comes back at the end
    m_position = p - 1;
    return m_entries[m_position];
}

std::optional<QString> CInputHistory::newer()
{
    if (m_position >= m_entries.size())
        return std::nullopt;
    ++m_position;
    return m_position == m_entries.size() ? m_draft : m_entries[m_position];
}
