#include "CharacterMapping.h"

#include <cstring>

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

using Expansions = std::array<const QByteArray *, CharMapTable::kCodes>;

// Every code as a text of its own, made once: an unmapped code's expansion
// shares it instead of taking memory of its own at every rebuild.
const std::array<QByteArray, CharMapTable::kCodes> &singleCodes()
{
    static const std::array<QByteArray, CharMapTable::kCodes> codes = [] {
        std::array<QByteArray, CharMapTable::kCodes> all;
        for (int c = 0; c < CharMapTable::kCodes; ++c)
            all[c] = QByteArray(1, static_cast<char>(c));
        return all;
    }();
    return codes;
}

// Expands `source` as the pass of code `after` would leave it: characters of
// higher codes are replaced by their expansions, the others stay.
QByteArray expandAfter(const QByteArray &source, unsigned after, const Expansions &expansions)
{
    QByteArray out;
    for (char ch : source) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > after)
            appendCapped(out, *expansions[c]);
        else
            appendCapped(out, ch);
    }
    return out;
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
    Expansions built;
    for (int c = 0; c < kCodes; ++c)
        built[c] = &m_expansions[c];
    for (int c = kCodes - 1; c >= 1; --c) {
        const QByteArray &t = m_texts[c];
        m_expansions[c] = t.isEmpty() ? singleCodes()[c] : expandAfter(t, c, built);
    }
    m_expansions[0] = singleCodes()[0];
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

    // The room of the text before is used for the next (the display maps
    // every block), as long as it is not that of a huge block.
    thread_local QByteArray spare;
    QByteArray out;
    out.swap(spare);
    out.resize(0);
    if (mappingOn) {
        // What each code becomes in this call: the table's cached expansion,
        // except for code 10 (with the timestamp) and the codes below it,
        // whose texts may hold line feeds.
        Expansions exp;
        for (int c = 0; c < CharMapTable::kCodes; ++c)
            exp[c] = &table.expansion(static_cast<unsigned char>(c));
        QByteArray lineFeed;
        std::array<QByteArray, 11> low;
        if (withTimestamp) {
            // The timestamp's characters are mapped one by one, each within
            // its own bound, as they are when the timestamp begins a block;
            // only the text of code 10 is bounded as a whole.
            lineFeed = expandAfter(table.text(10), 10, exp);
            for (char ch : timestamp) {
                const auto c = static_cast<unsigned char>(ch);
                if (c > 10)
                    lineFeed += *exp[c];
                else
                    lineFeed += ch;
            }
            exp[10] = &lineFeed;
            for (int c = 9; c >= 1; --c) {
                const QByteArray &t = table.text(c);
                if (!t.isEmpty()) {
                    low[c] = expandAfter(t, c, exp);
                    exp[c] = &low[c];
                }
            }
        }
        // Sized once, then filled: the display calls this for every block.
        qsizetype size = 0;
        for (char ch : text)
            size += exp[static_cast<unsigned char>(ch)]->size();
        out.resize(size);
        char *o = out.data();
        for (char ch : text) {
            const QByteArray &piece = *exp[static_cast<unsigned char>(ch)];
            if (piece.size() == 1) {
                *o++ = piece.front();
            } else {
                std::memcpy(o, piece.constData(), static_cast<std::size_t>(piece.size()));
                o += piece.size();
            }
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
    text.swap(out);
    if (out.capacity() <= 256 * 1024)
        spare.swap(out);

    if (!heldBack)
        return false;
    if (mappingOn && !table.text(10).isEmpty())
        text.append(table.text(10));
    text.append('\n');
    return true;
}
