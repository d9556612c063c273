#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The bytes, caret, selection and view of the hex input, apart from any widget.
// Positions are in character cells and text lines; CHexEdit turns pixels into
// cells and paints what this class says.
//
// Invariants once data has been set: the data holds 1 to kMaxLength bytes; the
// caret is a byte index inside the data or, on a high nibble or in the
// character area, the append position just behind the last byte (caretLimit()),
// where typing adds a byte; selection ends lie in 0 … length (the end
// exclusive, start may be greater than end for a backwards selection); top is
// a multiple of bytes per row between 0 and maxTop().
// Before the first setData() there is no data and every input is ignored.
class CHexEditModel final
{
public:
    enum Area : int { AddressArea = 0, CharArea = 1, HighNibble = 2, LowNibble = 3 };
    enum class Scroll { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition };
    enum class Key { Tab, Left, Right, Up, Down, PageUp, PageDown, Home, End, Insert, Delete };
    enum class CharResult { None, Copy };

    struct Hit
    {
        int index;
        Area area;
    };

    // The sender takes only the first 1022 bytes; the cap keeps repeated
    // "select all, Insert" from doubling the buffer without bound.
    static constexpr int kMaxLength = 65536;
    static constexpr int kMaxBytesPerRow = 256;

    // Replaces the data by a copy (at most kMaxLength bytes). No bytes at all
    // (count <= 0 or no buffer) give the single byte 0x00, the cleared input.
    void setData(const std::uint8_t *data, int count);
    // Copies min(max, length) bytes and returns length; 0 before any setData().
    int getData(std::uint8_t *buffer, int max) const;
    bool hasData() const { return m_hasData; }
    int length() const { return static_cast<int>(m_data.size()); }
    const std::vector<std::uint8_t> &data() const { return m_data; }

    // Clamped to 1 … kMaxBytesPerRow.
    void setBytesPerRow(int n);
    void setOptions(bool showAddress, bool showHex, bool showChars, bool wideAddress);
    // Whole text lines the client area holds; the page follows from it.
    void setClientLines(int lines);

    int bytesPerRow() const { return m_bytesPerRow; }
    bool showAddress() const { return m_showAddress; }
    bool showHex() const { return m_showHex; }
    bool showChars() const { return m_showChars; }
    int addressDigits() const { return m_wideAddress ? 8 : 4; }
    int hexColumn() const;
    int charColumn() const;
    int clientLines() const { return m_clientLines; }
    int linesPerPage() const { return m_linesPerPage; }
    bool lastLinePartial() const { return m_lastLinePartial; }
    // The greatest top that still fills the page (0 when the data fits).
    int maxTop() const;
    // The greatest caret: the append position, or the last byte once the
    // data is as long as it can be.
    int caretLimit() const { return length() < kMaxLength ? length() : length() - 1; }
    bool atAppendPosition() const { return m_caret == length(); }

    int top() const { return m_top; }
    int caret() const { return m_caret; }
    Area area() const { return m_area; }
    bool isHexArea() const { return m_area == HighNibble || m_area == LowNibble; }
    int selectionStart() const { return m_selStart; }
    int selectionEnd() const { return m_selEnd; }
    bool hasSelection() const { return m_selStart >= 0; }
    int selectionLow() const;
    int selectionHigh() const;
    bool caretHidden() const { return m_caretHidden; }
    // Caret position relative to the view, in cells and lines.
    int caretLine() const;
    int caretCell() const;
    int caretCells() const { return m_area == AddressArea ? addressDigits() : 1; }

    void scroll(Scroll request, int position = 0);
    void moveCaret(int dx, int dy);
    void keyDown(Key key, bool shift, bool ctrl);
    // code: the character as a byte (Enter 0x0D, Backspace 0x08, Ctrl+letter 1 … 26).
    CharResult character(std::uint8_t code, bool ctrl);

    std::optional<Hit> hitTest(int cell, int line) const;
    void mousePress(int cell, int line, bool shift);
    bool dragPending() const { return m_dragPending; }
    void beginDrag();
    // edge: -1 when the pointer is above the client area, +1 below it, else 0.
    void mouseDrag(int cell, int line, int edge);
    void mouseRelease();
    void focusIn() { m_caretHidden = hasSelection(); }

    void deleteRange(int a, int b);
    void deleteSelection();
    void insertBytes(int position, int n);
    void selectAll();
    void clearSelection() { m_selStart = m_selEnd = -1; }

    std::vector<std::uint8_t> selectedBytes() const;
    // Hex pairs with a blank each, or the characters themselves when the caret
    // is in the character area.
    std::string selectedText() const;

private:
    void updatePage();
    void clampCaret();
    void clampSelectionEnd() { m_selEnd = std::min(m_selEnd, length()); }
    // The cells the view covers: the bytes and the append position.
    int extent() const { return caretLimit() + 1; }
    void keepCaretInView();
    void placeCaret() { m_caretHidden = false; }
    void applyHit(int cell, int line);
    void lengthChanged();

    std::vector<std::uint8_t> m_data;
    bool m_hasData = false;
    int m_top = 0;
    int m_caret = 0;
    Area m_area = AddressArea;
    int m_selStart = -1;
    int m_selEnd = -1;
    int m_bytesPerRow = 8;
    int m_clientLines = 0;
    int m_linesPerPage = 1;
    bool m_showAddress = true;
    bool m_showHex = true;
    bool m_showChars = true;
    bool m_wideAddress = true;
    bool m_keepCaret = false;
    bool m_lastLinePartial = true;
    bool m_caretHidden = false;
    bool m_pressed = false;
    bool m_dragPending = false;
};
