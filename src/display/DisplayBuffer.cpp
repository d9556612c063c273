#include "DisplayBuffer.h"

#include <algorithm>
#include <cstring>

CDisplayBuffer::CDisplayBuffer()
{
    clear();
}

void CDisplayBuffer::clear()
{
    m_text.clear();
    m_lineStarts.assign(1, 0);
    m_runs.clear();
    m_longestLine = 0;
}

void CDisplayBuffer::setText(const QByteArray &text, QRgb color)
{
    clear();
    append(text, color);
}

qsizetype CDisplayBuffer::lineLength(int line) const
{
    const qsizetype start = m_lineStarts[line];
    const qsizetype end = line + 1 < lineCount() ? m_lineStarts[line + 1] - 1 : m_text.size();
    return end - start;
}

int CDisplayBuffer::lineOfOffset(qsizetype offset) const
{
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    return static_cast<int>(std::max<std::ptrdiff_t>(0, it - m_lineStarts.begin() - 1));
}

std::size_t CDisplayBuffer::runAt(qsizetype offset) const
{
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), offset,
                                     [](qsizetype o, const ColorRun &r) { return o < r.start; });
    return it == m_runs.begin() ? 0 : static_cast<std::size_t>(it - m_runs.begin() - 1);
}

void CDisplayBuffer::append(const QByteArray &text, QRgb color)
{
    if (text.isEmpty())
        return;
    if (m_runs.empty() || m_runs.back().color != color) {
        if (!m_runs.empty() && m_runs.back().start == m_text.size())
            m_runs.back().color = color;
        else
            m_runs.push_back({m_text.size(), color});
    }
    appendNormalized(text.constData(), text.size());
}

void CDisplayBuffer::appendNormalized(const char *data, qsizetype size)
{
    m_text.reserve(m_text.size() + size);
    const char *end = data + size;
    // Next LF and CR at or after the current position; each is searched again
    // only once passed, so a block is scanned once however many lines it has.
    auto find = [end](const char *from, char c) {
        const void *hit = std::memchr(from, c, end - from);
        return hit ? static_cast<const char *>(hit) : end;
    };
    const char *p = data;
    const char *nextLf = find(p, '\n');
    const char *nextCr = find(p, '\r');
    while (p < end) {
        if (nextLf < p)
            nextLf = find(p, '\n');
        if (nextCr < p)
            nextCr = find(p, '\r');
        const char *brk = std::min(nextLf, nextCr);
        m_text.append(p, brk - p);
        if (brk == end)
            break;
        p = brk + 1;
        if (*brk == '\r' && p < end && *p == '\n')
            ++p;
        m_longestLine = std::max(m_longestLine, m_text.size() - m_lineStarts.back());
        m_text.append('\n');
        m_lineStarts.push_back(m_text.size());
    }
    m_longestLine = std::max(m_longestLine, m_text.size() - m_lineStarts.back());
}

QByteArray CDisplayBuffer::toCrLfText() const
{
    QByteArray out;
    out.reserve(m_text.size() + lineCount());
    qsizetype start = 0;
    for (;;) {
        const qsizetype nl = m_text.indexOf('\n', start);
        if (nl < 0) {
            out.append(m_text.constData() + start, m_text.size() - start);
            break;
        }
        out.append(m_text.constData() + start, nl - start);
        out.append("\r\n", 2);
        start = nl + 1;
    }
    return out;
}
