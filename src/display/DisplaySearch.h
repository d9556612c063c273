#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// Finds a text in the display's 8-bit text (see CDisplayBuffer) without
// copying it: the pattern is turned into the display's character set once,
// and each search runs over the text where it lies. Case-insensitive unless
// asked otherwise; letters fold as the display shows them, so "ä" finds "Ä".
class CDisplaySearch
{
public:
    struct Match
    {
        qsizetype start = -1;
        bool wrapped = false; // the search went past one end and on from the other
        bool found() const { return start >= 0; }
    };

    CDisplaySearch();

    // False when the pattern holds a character the display cannot show:
    // then nothing matches.
    bool setPattern(const QString &text, bool caseSensitive = false);
    bool isEmpty() const { return m_pattern.isEmpty(); }
    // Characters of a match (as the display counts them).
    qsizetype length() const { return m_pattern.size(); }

    // The first match that starts at or after `from`, going on from the top
    // when there is none below.
    Match next(const QByteArray &text, qsizetype from) const;
    // The last match that starts before `from`, going on from the bottom when
    // there is none above.
    Match previous(const QByteArray &text, qsizetype from) const;

    // Matches starting in [from, to) of `data`, without wrapping: the first,
    // or -1. `to` may reach into text a match needs to end.
    qsizetype findForward(const char *data, qsizetype size, qsizetype from, qsizetype to) const;
    // The last match starting in [from, to), or -1.
    qsizetype findBackward(const char *data, qsizetype size, qsizetype from, qsizetype to) const;

private:
    // One character: the bytes that fold to it are looked for with memchr,
    // many times faster than a byte-by-byte loop.
    qsizetype findByte(const char *data, qsizetype from, qsizetype to, bool forward) const;

    QByteArray m_pattern;     // folded
    QByteArray m_singleBytes; // for a one-character pattern: every byte that matches
    std::array<std::uint8_t, 256> m_fold{};
    std::array<qsizetype, 256> m_skipForward{};
    std::array<qsizetype, 256> m_skipBackward{};
    bool m_representable = true;
};
