#pragma once

#include <QByteArray>
#include <QRgb>

#include <vector>

// The text of the terminal display with the colour of every character, kept
// as 8-bit characters. Line breaks are stored as one LF each: CR LF, a lone
// LF and a lone CR within one append each make one line break.
class CDisplayBuffer
{
public:
    struct ColorRun
    {
        qsizetype start; // offset of the first character in this colour
        QRgb color;
    };

    CDisplayBuffer();

    // Appends `text` in `color`.
    void append(const QByteArray &text, QRgb color);
    // Replaces everything by `text` in `color`.
    void setText(const QByteArray &text, QRgb color);
    void clear();

    // Characters held, each line break counting as one.
    qsizetype length() const { return m_text.size(); }
    int lineCount() const { return static_cast<int>(m_lineStarts.size()); }
    qsizetype lineStart(int line) const { return m_lineStarts[line]; }
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
    void appendNormalized(const char *data, qsizetype size);

    QByteArray m_text;
    std::vector<qsizetype> m_lineStarts;
    std::vector<ColorRun> m_runs;
    qsizetype m_longestLine = 0;
};
