#include "DisplayBuffer.h"

#include <algorithm>
#include <cstring>

CDisplayBuffer::CDisplayBuffer()
{
    clear();
}

void CDisplayBuffer::clear()
{
    // The memory of a flood goes with it; a little text keeps its room, as
    // the display is emptied and filled again often (the display limit).
    constexpr qsizetype kRoomKept = 64 * 1024;
    if (m_text.capacity() > kRoomKept) {
        QByteArray().swap(m_text);
        std::vector<std::uint32_t>{0}.swap(m_groupStarts);
        std::vector<std::uint32_t>{0}.swap(m_groupLongest);
        std::vector<ColorRun>().swap(m_runs);
    } else {
        m_text.resize(0);
        m_groupStarts.assign(1, 0);
        m_groupLongest.assign(1, 0);
        m_runs.clear();
    }
    m_lineCount = 1;
    m_lastLineStart = 0;
    m_longestLine = 0;
    m_cacheLine = 0;
    m_cacheStart = 0;
}

void CDisplayBuffer::setText(const QByteArray &text, TextColor color)
{
    clear();
    append(text, color);
}

qsizetype CDisplayBuffer::lineEnd(qsizetype start) const
{
    const void *nl = std::memchr(m_text.constData() + start, '\n',
                                 static_cast<std::size_t>(m_text.size() - start));
    return nl ? static_cast<const char *>(nl) - m_text.constData() : m_text.size();
}

qsizetype CDisplayBuffer::lineStart(int line) const
{
    line = std::clamp(line, 0, m_lineCount - 1);
    int from = line >> kGroupShift << kGroupShift;
    qsizetype pos = m_groupStarts[static_cast<std::size_t>(line >> kGroupShift)];
    if (m_cacheLine <= line && m_cacheLine > from && m_cacheStart <= m_text.size()) {
        from = m_cacheLine;
        pos = m_cacheStart;
    }
    for (; from < line; ++from)
        pos = lineEnd(pos) + 1;
    m_cacheLine = line;
    m_cacheStart = pos;
    return pos;
}

qsizetype CDisplayBuffer::lineLength(int line) const
{
    const qsizetype start = lineStart(line);
    return lineEnd(start) - start;
}

int CDisplayBuffer::lineOfOffset(qsizetype offset) const
{
    offset = std::clamp<qsizetype>(offset, 0, m_text.size());
    const auto it = std::upper_bound(m_groupStarts.begin(), m_groupStarts.end(),
                                     static_cast<std::uint32_t>(offset));
    const auto group = static_cast<int>(it - m_groupStarts.begin()) - 1;
    int line = group << kGroupShift;
    const char *p = m_text.constData() + m_groupStarts[static_cast<std::size_t>(group)];
    const char *end = m_text.constData() + offset;
    while (p < end) {
        const void *nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!nl)
            break;
        ++line;
        p = static_cast<const char *>(nl) + 1;
    }
    return line;
}

std::size_t CDisplayBuffer::runAt(qsizetype offset) const
{
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), offset,
                                     [](qsizetype o, const ColorRun &r) { return o < r.start; });
    return it == m_runs.begin() ? 0 : static_cast<std::size_t>(it - m_runs.begin() - 1);
}

void CDisplayBuffer::append(const QByteArray &text, TextColor color)
{
    append(text.constData(), text.size(), color);
}

void CDisplayBuffer::append(const char *data, qsizetype size, TextColor color)
{
    if (size <= 0)
        return;
    if (m_runs.empty() || m_runs.back().color != color) {
        if (!m_runs.empty() && m_runs.back().start == m_text.size())
            m_runs.back().color = color;
        else
            m_runs.push_back({m_text.size(), color});
    }
    appendNormalized(data, size);
}

void CDisplayBuffer::reserveFor(qsizetype more)
{
    // Doubling: a flood of small blocks costs a few moves of the text, not one
    // per block.
    const qsizetype needed = m_text.size() + more;
    if (needed <= m_text.capacity())
        return;
    qsizetype room = std::max<qsizetype>({needed, 2 * m_text.capacity(), 4096});
    constexpr qsizetype kAllAtOnce = 1024 * 1024;
    if (m_capacityLimit > 0 && room > kAllAtOnce)
        room = std::max(needed, m_capacityLimit);
    m_text.reserve(room);
}

void CDisplayBuffer::lineBreakAt(qsizetype offset)
{
    // `offset` is where the line break goes; the next line starts after it.
    const auto longest = static_cast<std::uint32_t>(offset - m_lastLineStart);
    m_groupLongest.back() = std::max(m_groupLongest.back(), longest);
    m_longestLine = std::max<qsizetype>(m_longestLine, longest);
    m_lastLineStart = offset + 1;
    if ((m_lineCount & (kGroupLines - 1)) == 0) {
        m_groupStarts.push_back(static_cast<std::uint32_t>(m_lastLineStart));
        m_groupLongest.push_back(0);
    }
    ++m_lineCount;
}

void CDisplayBuffer::appendNormalized(const char *data, qsizetype size)
{
    reserveFor(size);
    const char *end = data + size;
    // Next LF and CR at or after the current position; each is searched again
    // only once passed, so a block is scanned once however many lines it has.
    auto find = [end](const char *from, char c) {
        const void *hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
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
        lineBreakAt(m_text.size());
        m_text.append('\n');
    }
    const auto last = static_cast<std::uint32_t>(m_text.size() - m_lastLineStart);
    m_groupLongest.back() = std::max(m_groupLongest.back(), last);
    m_longestLine = std::max<qsizetype>(m_longestLine, last);
}

std::uint32_t CDisplayBuffer::longestInGroup(int line) const
{
    std::uint32_t longest = 0;
    qsizetype pos = lineStart(line);
    for (int i = 0; i < kGroupLines && line + i < m_lineCount; ++i) {
        const qsizetype end = lineEnd(pos);
        longest = std::max(longest, static_cast<std::uint32_t>(end - pos));
        pos = end + 1;
    }
    return longest;
}

CDisplayBuffer::Dropped CDisplayBuffer::dropOldest(qsizetype minChars, const QByteArray &marker,
                                                   TextColor markerColor)
{
    Dropped dropped;
    if (minChars <= 0 || m_text.isEmpty())
        return dropped;
    // The first line kept becomes line 1 (after the marker); cutting where
    // that keeps every 64th line at the start of an index group lets the
    // index move down instead of being built anew.
    int cutLine = lineOfOffset(std::min(minChars, m_text.size()));
    if (lineStart(cutLine) < minChars)
        ++cutLine;
    cutLine = std::max(1, cutLine);
    cutLine += (kGroupLines - (cutLine - 1) % kGroupLines) % kGroupLines;

    const qsizetype head = marker.size() + 1; // the marker line with its break
    if (cutLine >= m_lineCount) {
        // Nothing is left to keep.
        dropped = {m_text.size(), m_text.size(), m_lineCount};
        clear();
        m_runs.push_back({0, markerColor});
        m_text.append(marker);
        lineBreakAt(m_text.size());
        m_text.append('\n');
        return dropped;
    }
    const qsizetype cut = lineStart(cutLine);
    const qsizetype shift = cut - head; // how far the text kept moves to the front
    dropped = {cut, shift, cutLine - 1};

    const qsizetype kept = m_text.size() - cut;
    if (head + kept > m_text.size())
        m_text.resize(head + kept);
    char *base = m_text.data();
    std::memmove(base + head, base + cut, static_cast<std::size_t>(kept));
    std::memcpy(base, marker.constData(), static_cast<std::size_t>(marker.size()));
    base[marker.size()] = '\n';
    m_text.truncate(head + kept);

    // Index: group g of the text kept was group g + j of the old text.
    const auto j = static_cast<std::ptrdiff_t>((cutLine - 1) >> kGroupShift);
    m_groupStarts.erase(m_groupStarts.begin(), m_groupStarts.begin() + j);
    m_groupLongest.erase(m_groupLongest.begin(), m_groupLongest.begin() + j);
    m_groupStarts[0] = 0;
    for (std::size_t g = 1; g < m_groupStarts.size(); ++g)
        m_groupStarts[g] = static_cast<std::uint32_t>(qsizetype(m_groupStarts[g]) - shift);
    m_lineCount -= cutLine - 1;
    m_lastLineStart -= shift;
    m_cacheLine = 0;
    m_cacheStart = 0;
    m_groupLongest[0] = longestInGroup(0);
    m_longestLine = *std::max_element(m_groupLongest.begin(), m_groupLongest.end());

    // Colours: runs that ended before the cut go, the marker gets its own.
    const std::size_t first = runAt(cut);
    m_runs.erase(m_runs.begin(), m_runs.begin() + static_cast<std::ptrdiff_t>(first));
    for (ColorRun &r : m_runs)
        r.start = std::max(r.start - shift, head);
    if (!m_runs.empty() && m_runs.front().color == markerColor)
        m_runs.front().start = 0;
    else
        m_runs.insert(m_runs.begin(), {0, markerColor});
    return dropped;
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
