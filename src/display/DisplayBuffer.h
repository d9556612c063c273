#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// A colour of the display's text as 0xAARRGGBB, the layout of Qt's QRgb.
using TextColor = unsigned int;

// The text of the terminal display with the colour of every character, kept
// as 8-bit characters. Line breaks are stored as one LF each: CR LF, a lone
// LF and a lone CR within one append each make one line break.
//
// Built for floods of short lines: the text grows by doubling, and the line
// index keeps the start of every 64th line only (4 bytes per 64 lines), so a
// line's start is found by a short forward scan from its group's start.
// Sequential lookups (painting, printing) continue from the last one found.
class CDisplayBuffer
{
public:
    // The text never grows beyond what 32-bit offsets reach.
    static constexpr qsizetype kMaxLength = qsizetype(1) << 31;

    struct ColorRun
    {
        qsizetype start; // offset of the first character in this colour
        TextColor color;
    };

    // What dropOldest() removed.
    struct Dropped
    {
        qsizetype chars = 0; // characters of old text removed (line breaks included)
        qsizetype shift = 0; // how far the offsets of the text kept moved down
        int lines = 0;       // how far the line numbers of the text kept moved down
    };

    CDisplayBuffer();

    // The most text the owner lets the buffer hold (0: no such bound). Past
    // 1 MB the buffer takes room for all of it at once instead of doubling on:
    // text moved to a new place costs the first touch of every page again,
    // which is slow, and a bound keeps that from happening more than once.
    void setCapacityLimit(qsizetype limit) { m_capacityLimit = limit; }

    // Appends `text` in `color`.
    void append(const QByteArray &text, TextColor color);
    void append(const char *data, qsizetype size, TextColor color);
    // Replaces everything by `text` in `color`.
    void setText(const QByteArray &text, TextColor color);
    // Empties the text and releases its memory.
    void clear();
    // Removes at least `minChars` characters of the oldest text, always whole
    // lines, and puts `marker` (without line breaks) in `markerColor` as the
    // first line in their place. Offsets and line numbers of the text kept
    // move down by what was removed (the marker line included).
    Dropped dropOldest(qsizetype minChars, const QByteArray &marker, TextColor markerColor);

    // Characters held, each line break counting as one.
    qsizetype length() const { return m_text.size(); }
    int lineCount() const { return m_lineCount; }
    qsizetype lineStart(int line) const;
    // Characters of the line without its line break.
    qsizetype lineLength(int line) const;
    qsizetype longestLine() const { return m_longestLine; }
    int lineOfOffset(qsizetype offset) const;

    const QByteArray &text() const { return m_text; }
    const std::vector<ColorRun> &colorRuns() const { return m_runs; }
    // Index of the run that holds `offset`.
    std::size_t runAt(qsizetype offset) const;

    // The text with CR LF line breaks, as saved in documents.
    QByteArray toCrLfText() const;

private:
    static constexpr int kGroupShift = 6; // 64 lines per index entry
    static constexpr int kGroupLines = 1 << kGroupShift;

    void appendNormalized(const char *data, qsizetype size);
    void reserveFor(qsizetype more);
    void lineBreakAt(qsizetype offset);
    qsizetype lineEnd(qsizetype start) const;
    // Longest line of the group that begins at `line`.
    std::uint32_t longestInGroup(int line) const;

    QByteArray m_text;
    int m_lineCount = 1;
    std::vector<std::uint32_t> m_groupStarts;  // start of lines 0, 64, 128, ...
    std::vector<std::uint32_t> m_groupLongest; // longest line of each group
    qsizetype m_lastLineStart = 0;
    std::vector<ColorRun> m_runs;
    qsizetype m_longestLine = 0;
    qsizetype m_capacityLimit = 0;
    // The last line found by lineStart(), where the next lookup may go on.
    mutable int m_cacheLine = 0;
    mutable qsizetype m_cacheStart = 0;
};
