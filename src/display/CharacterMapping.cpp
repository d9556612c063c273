#include "CharacterMapping.h"

namespace {

void appendCapped(QByteArray &out, const QByteArray &piece)
{
    const qsizetype room = CharMapTable::kMaxExpansion - out.size();
    if (room > 0)
        out.append(piece.constData(), std::min(room, piece.size()));
}

void appendCapped(QByteArray &out, char c)
{
    if (out.size() < CharMapTable::kMaxExpansion)
        out.append(c);
}

// Expands `source` as the pass of code `after` would leave it: characters of
// higher codes are replaced by their expansions, the others stay.
QByteArray expandAfter(const QByteArray &source, unsigned after,
                       const std::array<QByteArray, CharMapTable::kCodes> &expansions)
{
    QByteArray out;
    for (char ch : source) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > after)
            appendCapped(out, expansions[c]);
        else
            appendCapped(out, ch);
    }
    return out;
}

// Expansions of codes 1 to 10 with `lineFeed` standing for code 10: the lower
// codes' texts may contain line feeds, which the pass of code 10 then replaces.
std::array<QByteArray, 11> lowExpansions(const CharMapTable &table, const QByteArray &lineFeed,
                                         const std::array<QByteArray, CharMapTable::kCodes> &high)
{
    std::array<QByteArray, CharMapTable::kCodes> all = high;
    all[10] = lineFeed;
    for (int c = 9; c >= 1; --c) {
        const QByteArray &t = table.text(c);
        all[c] = t.isEmpty() ? QByteArray(1, static_cast<char>(c)) : expandAfter(t, c, all);
    }
    std::array<QByteArray, 11> low;
    for (int c = 1; c <= 10; ++c)
        low[c] = all[c];
    return low;
}

} // namespace

void CharMapTable::setText(int code, const QByteArray &text)
{
    if (code < 0 || code >= kCodes)
        return;
    QByteArray t = text;
    const qsizetype nul = t.indexOf('\0');
    if (nul >= 0)
        t.truncate(nul);
    t.truncate(kMaxTextLength);
    m_texts[code] = t;
    m_dirty = true;
}

void CharMapTable::clear()
{
    for (QByteArray &t : m_texts)
        t.clear();
    m_dirty = true;
}

void CharMapTable::rebuild() const
{
    for (int c = kCodes - 1; c >= 1; --c) {
        const QByteArray &t = m_texts[c];
        m_expansions[c] = t.isEmpty() ? QByteArray(1, static_cast<char>(c))
                                      : expandAfter(t, c, m_expansions);
    }
    m_expansions[0] = QByteArray(1, '\0');
    m_dirty = false;
}

const QByteArray &CharMapTable::expansion(unsigned char code) const
{
    if (m_dirty)
        rebuild();
    return m_expansions[code];
}

bool MapCharacters(QByteArray &text, bool reverse, const QByteArray &timestamp,
                   const CharMapTable &table, bool mappingOn)
{
    if (reverse) {
        for (int c = 1; c < CharMapTable::kCodes; ++c) {
            const QByteArray &t = table.text(c);
            if (!t.isEmpty())
                text.replace(t, QByteArray(1, static_cast<char>(c)));
        }
        return false;
    }

    const bool withTimestamp = !timestamp.isEmpty();
    if (!withTimestamp && !mappingOn)
        return false;

    bool heldBack = false;
    if (withTimestamp && text.endsWith('\n')) {
        text.chop(1);
        heldBack = true;
    }

    QByteArray out;
    if (mappingOn) {
        table.expansion(1); // make sure the cached expansions are current
        std::array<QByteArray, CharMapTable::kCodes> high;
        for (int c = 11; c < CharMapTable::kCodes; ++c)
            high[c] = table.expansion(static_cast<unsigned char>(c));
        QByteArray lineFeed;
        if (withTimestamp)
            lineFeed = expandAfter(table.text(10) + timestamp, 10, high);
        else
            lineFeed = table.expansion(10);
        const std::array<QByteArray, 11> low = lowExpansions(table, lineFeed, high);

        out.reserve(text.size() + text.size() / 4);
        for (char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == 0)
                out.append(ch);
            else if (c <= 10)
                out.append(low[c]);
            else
                out.append(table.expansion(c));
        }
    } else {
        out.reserve(text.size() + 64);
        qsizetype start = 0;
        for (;;) {
            const qsizetype nl = text.indexOf('\n', start);
            if (nl < 0) {
                out.append(text.constData() + start, text.size() - start);
                break;
            }
            out.append(text.constData() + start, nl - start);
            out.append(timestamp);
            start = nl + 1;
        }
    }
    text = std::move(out);

    if (!heldBack)
        return false;
    if (mappingOn && !table.text(10).isEmpty())
        text.append(table.text(10));
    text.append('\n');
    return true;
}
