#pragma once

#include <QByteArray>

#include <array>

// The texts that stand for byte codes while character mapping is on: one text
// of at most 30 characters per code 0 to 255, empty for an unmapped code.
// Texts are 8-bit (the terminal's character set).
class CharMapTable
{
public:
    static constexpr int kCodes = 256;
    static constexpr int kMaxTextLength = 30;

    const QByteArray &text(int code) const { return m_texts[static_cast<unsigned>(code) & 0xFF]; }
    // Stores at most 30 characters, cut at a NUL; codes outside 0-255 are ignored.
    void setText(int code, const QByteArray &text);
    void clear();
    bool operator==(const CharMapTable &other) const { return m_texts == other.m_texts; }

    // Forward expansion of a code: its text with the texts of higher codes put
    // in for the characters it contains (recursively), the code itself when it
    // has no text. Codes 1-255; the expansion of 10 here is without timestamp.
    const QByteArray &expansion(unsigned char code) const;

    // An expansion never grows beyond this; a table whose texts refer to each
    // other in a long chain would otherwise need unbounded memory.
    static constexpr qsizetype kMaxExpansion = 4096;

private:
    void rebuild() const;

    std::array<QByteArray, kCodes> m_texts;
    mutable std::array<QByteArray, kCodes> m_expansions;
    mutable bool m_dirty = true;
};

// Applies the mapping to `text` in place.
// Forward (reverse false): every character c (1-255) with a text becomes its
// text, codes in ascending order, each pass working on what the lower codes
// left and never rescanning its own insertions. With a non-empty `timestamp`
// (the display's "\n<time> - " text) every line feed is followed by the
// timestamp; a line feed that ends the text is held back and put back at the
// end, and the result is true (the next text starts a line). Without mapping
// (`mappingOn` false) only the timestamp rule applies.
// Reverse: every occurrence of the text of c becomes the character c, codes in
// ascending order; `timestamp` and `mappingOn` are not used.
bool MapCharacters(QByteArray &text, bool reverse, const QByteArray &timestamp,
                   const CharMapTable &table, bool mappingOn);
