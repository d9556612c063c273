#include "DisplaySearch.h"

#include "platform/Codepage.h"

#include <algorithm>
#include <cstring>

namespace {
std::uint8_t byteOf(char c)
{
    return static_cast<std::uint8_t>(c);
}
} // namespace

CDisplaySearch::CDisplaySearch()
{
    setPattern(QString());
}

bool CDisplaySearch::setPattern(const QString &text, bool caseSensitive)
{
    for (int b = 0; b < 256; ++b) {
        m_fold[b] = static_cast<std::uint8_t>(b);
        if (caseSensitive)
            continue;
        // The lower-case letter, where the character set holds it.
        const QChar lower = QChar(codepage::charOf(static_cast<unsigned char>(b))).toLower();
        const QByteArray back = codepage::fromUnicode(QStringView(&lower, 1));
        if (codepage::charOf(byteOf(back[0])) == lower.unicode())
            m_fold[b] = byteOf(back[0]);
    }
    const QByteArray bytes = codepage::fromUnicode(text);
    m_representable = codepage::toUnicode(bytes) == text;
    m_pattern.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        m_pattern[i] = static_cast<char>(m_fold[byteOf(bytes[i])]);

    m_singleBytes.clear();
    if (m_pattern.size() == 1) {
        for (int b = 0; b < 256; ++b) {
            if (m_fold[b] == byteOf(m_pattern[0]))
                m_singleBytes.append(static_cast<char>(b));
        }
    }
    // Horspool's shifts, one table for each direction.
    const qsizetype m = m_pattern.size();
    m_skipForward.fill(std::max<qsizetype>(1, m));
    m_skipBackward.fill(std::max<qsizetype>(1, m));
    for (qsizetype i = 0; i + 1 < m; ++i)
        m_skipForward[byteOf(m_pattern[i])] = m - 1 - i;
    for (qsizetype i = m - 1; i >= 1; --i)
        m_skipBackward[byteOf(m_pattern[i])] = i;
    return m_representable;
}

qsizetype CDisplaySearch::findForward(const char *data, qsizetype size, qsizetype from,
                                      qsizetype to) const
{
    const qsizetype m = m_pattern.size();
    if (m == 0 || !m_representable)
        return -1;
    from = std::max<qsizetype>(0, from);
    const qsizetype lastStart = std::min(to, size - m + 1); // exclusive
    if (m == 1)
        return findByte(data, from, lastStart, true);
    const auto *t = reinterpret_cast<const std::uint8_t *>(data);
    const auto *p = reinterpret_cast<const std::uint8_t *>(m_pattern.constData());
    for (qsizetype pos = from; pos < lastStart;) {
        qsizetype j = m - 1;
        while (j >= 0 && m_fold[t[pos + j]] == p[j])
            --j;
        if (j < 0)
            return pos;
        pos += m_skipForward[m_fold[t[pos + m - 1]]];
    }
    return -1;
}

qsizetype CDisplaySearch::findBackward(const char *data, qsizetype size, qsizetype from,
                                       qsizetype to) const
{
    const qsizetype m = m_pattern.size();
    if (m == 0 || !m_representable)
        return -1;
    from = std::max<qsizetype>(0, from);
    if (m == 1)
        return findByte(data, from, std::min(to, size), false);
    const auto *t = reinterpret_cast<const std::uint8_t *>(data);
    const auto *p = reinterpret_cast<const std::uint8_t *>(m_pattern.constData());
    for (qsizetype pos = std::min(to, size - m + 1) - 1; pos >= from;) {
        qsizetype j = 0;
        while (j < m && m_fold[t[pos + j]] == p[j])
            ++j;
        if (j == m)
            return pos;
        pos -= m_skipBackward[m_fold[t[pos]]];
    }
    return -1;
}

qsizetype CDisplaySearch::findByte(const char *data, qsizetype from, qsizetype to,
                                   bool forward) const
{
    qsizetype best = -1;
    if (from >= to)
        return best;
    const auto n = static_cast<std::size_t>(to - from);
    for (const char c : m_singleBytes) {
        const void *hit = forward ? std::memchr(data + from, c, n) : memrchr(data + from, c, n);
        if (!hit)
            continue;
        const qsizetype at = static_cast<const char *>(hit) - data;
        if (best < 0 || (forward ? at < best : at > best))
            best = at;
    }
    return best;
}

CDisplaySearch::Match CDisplaySearch::next(const QByteArray &text, qsizetype from) const
{
    const qsizetype size = text.size();
    from = std::clamp<qsizetype>(from, 0, size);
    if (qsizetype at = findForward(text.constData(), size, from, size); at >= 0)
        return {at, false};
    return {findForward(text.constData(), size, 0, from), true};
}

CDisplaySearch::Match CDisplaySearch::previous(const QByteArray &text, qsizetype from) const
{
    const qsizetype size = text.size();
    from = std::clamp<qsizetype>(from, 0, size);
    if (qsizetype at = findBackward(text.constData(), size, 0, from); at >= 0)
        return {at, false};
    return {findBackward(text.constData(), size, from, size), true};
}
