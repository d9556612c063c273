#include "HexEditModel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

int clampTo(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// Hex entry takes the lower-case digits only; "A" to "F" change nothing.
int nibbleOf(std::uint8_t code)
{
    if (code >= '0' && code <= '9')
        return code - '0';
    if (code >= 'a' && code <= 'f')
        return code - 'a' + 10;
    return -1;
}

bool isPrintable(std::uint8_t byte)
{
    return byte >= 0x20 && byte < 0x7F;
}

} // namespace

void CHexEditModel::setData(const std::uint8_t *data, int count)
{
    if (data == nullptr || count <= 0)
        m_data.assign(1, 0);
    else
        m_data.assign(data, data + std::min(count, kMaxLength));
    m_hasData = true;
    clearSelection();
    m_caret = 0;
    m_area = HighNibble;
    m_top = 0;
    m_caretHidden = false;
    m_pressed = m_dragPending = false;
    updatePage();
}

int CHexEditModel::getData(std::uint8_t *buffer, int max) const
{
    if (!m_hasData)
        return 0;
    if (buffer != nullptr && max > 0)
        std::memcpy(buffer, m_data.data(), static_cast<std::size_t>(std::min(max, length())));
    return length();
}

void CHexEditModel::setBytesPerRow(int n)
{
    m_bytesPerRow = clampTo(n, 1, kMaxBytesPerRow);
    m_top -= m_top % m_bytesPerRow;
    updatePage();
}

void CHexEditModel::setOptions(bool showAddress, bool showHex, bool showChars, bool wideAddress)
{
    m_showAddress = showAddress;
    m_showHex = showHex;
    m_showChars = showChars;
    m_wideAddress = wideAddress;
}

void CHexEditModel::setClientLines(int lines)
{
    m_clientLines = std::max(0, lines);
    updatePage();
}

int CHexEditModel::hexColumn() const
{
    return m_showAddress ? addressDigits() + 1 : 0;
}

int CHexEditModel::charColumn() const
{
    return hexColumn() + (m_showHex ? m_bytesPerRow * 3 : 0);
}

// Page = whole lines of the client area, or only the lines holding data (and
// the append position) when the data is shorter; never 0, so paging and
// keeping the caret in view always make progress even in a control lower
// than one line.
void CHexEditModel::updatePage()
{
    int lines = m_clientLines;
    m_lastLinePartial = false;
    if (m_hasData && static_cast<long long>(m_bytesPerRow) * lines > extent()) {
        lines = (extent() + m_bytesPerRow - 1) / m_bytesPerRow;
        m_lastLinePartial = extent() % m_bytesPerRow != 0;
    }
    m_linesPerPage = std::max(1, lines);
    m_top = clampTo(m_top, 0, maxTop());
}

int CHexEditModel::maxTop() const
{
    const int beyondPage = extent() - m_linesPerPage * m_bytesPerRow;
    if (beyondPage <= 0)
        return 0;
    return (beyondPage + m_bytesPerRow - 1) / m_bytesPerRow * m_bytesPerRow;
}

int CHexEditModel::selectionLow() const
{
    return std::min(m_selStart, m_selEnd);
}

int CHexEditModel::selectionHigh() const
{
    return std::max(m_selStart, m_selEnd);
}

int CHexEditModel::caretLine() const
{
    return m_caret / m_bytesPerRow - m_top / m_bytesPerRow;
}

int CHexEditModel::caretCell() const
{
    const int column = m_caret % m_bytesPerRow;
    switch (m_area) {
    case HighNibble:
        return hexColumn() + column * 3;
    case LowNibble:
        return hexColumn() + column * 3 + 1;
    case CharArea:
        return charColumn() + column;
    case AddressArea:
        break;
    }
    return 0;
}

void CHexEditModel::clampCaret()
{
    m_caret = clampTo(m_caret, 0, std::max(0, caretLimit()));
    // Behind the last byte there is no low nibble to stand on.
    if (atAppendPosition() && m_area == LowNibble)
        m_area = HighNibble;
}

void CHexEditModel::scroll(Scroll request, int position)
{
    if (!m_hasData)
        return;
    const int old = m_top;
    const int page = m_linesPerPage * m_bytesPerRow;
    const bool moreBelow = m_top < extent() - page;
    switch (request) {
    case Scroll::LineUp:
        if (m_top >= 1)
            m_top -= m_bytesPerRow;
        break;
    case Scroll::LineDown:
        if (moreBelow)
            m_top += m_bytesPerRow;
        break;
    case Scroll::PageUp:
        if (m_top >= 1)
            m_top = std::max(0, m_top - page);
        break;
    case Scroll::PageDown:
        if (moreBelow)
            m_top = std::min(m_top + page, maxTop());
        break;
    case Scroll::ThumbTrack:
        m_top = clampTo(position, 0, maxTop() / m_bytesPerRow) * m_bytesPerRow;
        break;
    case Scroll::ThumbPosition:
        break;
    }
    // The caret keeps its place on the screen, but never leaves the data.
    if (!m_keepCaret) {
        m_caret += m_top - old;
        clampCaret();
    }
}

void CHexEditModel::keepCaretInView()
{
    const bool keep = m_keepCaret;
    m_keepCaret = true;
    // One line at a time, until the caret is in view or the view cannot move.
    for (;;) {
        const int old = m_top;
        if (m_caret < m_top)
            scroll(Scroll::LineUp);
        else if (m_caret >= m_top + m_linesPerPage * m_bytesPerRow)
            scroll(Scroll::LineDown);
        if (m_top == old)
            break;
    }
    m_keepCaret = keep;
}

void CHexEditModel::moveCaret(int dx, int dy)
{
    if (!m_hasData || m_area == AddressArea)
        return;
    switch (m_area) {
    case CharArea:
        m_caret += dy * m_bytesPerRow + dx;
        break;
    case HighNibble:
        if (dx != 0)
            m_area = LowNibble;
        if (dx == -1)
            --m_caret;
        m_caret += dy * m_bytesPerRow;
        break;
    case LowNibble:
        if (dx != 0)
            m_area = HighNibble;
        if (dx == 1)
            ++m_caret;
        m_caret += dy * m_bytesPerRow;
        break;
    case AddressArea:
        break;
    }
    clampCaret();
    keepCaretInView();
    m_keepCaret = false;
    placeCaret();
}

void CHexEditModel::keyDown(Key key, bool shift, bool ctrl)
{
    if (!m_hasData)
        return;
    m_keepCaret = true;
    switch (key) {
    case Key::Tab:
        m_area = (m_area == AddressArea || m_area == CharArea) ? HighNibble : CharArea;
        placeCaret();
        m_keepCaret = false;
        return;
    case Key::Insert: {
        // A backwards selection inserts as many bytes as a forward one.
        const int n = hasSelection() ? std::abs(m_selEnd - m_selStart) : 0;
        insertBytes(m_caret, std::max(1, n));
        m_keepCaret = false;
        return;
    }
    case Key::Delete:
        if (hasSelection())
            deleteSelection();
        else
            deleteRange(m_caret, m_caret + 1);
        m_keepCaret = false;
        return;
    default:
        break;
    }

    if (!shift)
        clearSelection();
    else if (!hasSelection())
        m_selStart = m_caret;

    const int lineStart = m_caret - m_caret % m_bytesPerRow;
    switch (key) {
    case Key::Left:
        moveCaret(-1, 0);
        break;
    case Key::Right:
        moveCaret(1, 0);
        break;
    case Key::Up:
        moveCaret(0, -1);
        break;
    case Key::Down:
        moveCaret(0, 1);
        break;
    case Key::PageUp:
    case Key::PageDown:
        // The caret goes along with the page, keeping its place on the screen.
        m_keepCaret = false;
        scroll(key == Key::PageUp ? Scroll::PageUp : Scroll::PageDown);
        moveCaret(0, 0);
        break;
    case Key::Home:
        if (ctrl)
            m_top = 0;
        m_caret = ctrl ? 0 : lineStart;
        moveCaret(0, 0);
        break;
    case Key::End:
        // Where typing goes on: behind the last byte, on the last line.
        if (ctrl) {
            m_caret = caretLimit();
            const int lastLine = m_caret - m_caret % m_bytesPerRow;
            m_top = std::max(0, lastLine - (m_linesPerPage - 1) * m_bytesPerRow);
        } else {
            m_caret = std::min(lineStart + m_bytesPerRow - 1, caretLimit());
        }
        if (m_area == LowNibble && atAppendPosition())
            m_area = HighNibble;
        moveCaret(0, 0);
        break;
    default:
        break;
    }
    m_keepCaret = false;

    if (shift) {
        m_selEnd = m_caret + (isHexArea() && (key == Key::Right || key == Key::Down) ? 1 : 0);
        clampSelectionEnd();
    }
}

CHexEditModel::CharResult CHexEditModel::character(std::uint8_t code, bool ctrl)
{
    if (!m_hasData || code == '\t')
        return CharResult::None;
    if (ctrl && code == 0x03)
        return hasSelection() ? CharResult::Copy : CharResult::None;
    if (ctrl && code == 0x16)
        return CharResult::None;
    if (code == 0x08) {
        if (m_caret > 0) {
            --m_caret;
            deleteRange(m_caret, m_caret + 1);
        }
        return CharResult::None;
    }

    clearSelection();
    // Typing behind the last byte adds a byte: the input grows as it is typed.
    const bool appends = atAppendPosition() && length() < kMaxLength
                         && (m_area == CharArea || (isHexArea() && nibbleOf(code) >= 0));
    if (appends) {
        m_data.push_back(0);
        updatePage();
    }
    if (isHexArea()) {
        const int nibble = nibbleOf(code);
        if (nibble >= 0) {
            std::uint8_t &byte = m_data[static_cast<std::size_t>(m_caret)];
            byte = m_area == HighNibble ? static_cast<std::uint8_t>((byte & 0x0F) | (nibble << 4))
                                        : static_cast<std::uint8_t>((byte & 0xF0) | nibble);
            moveCaret(1, 0);
        }
    } else if (m_area == CharArea) {
        m_data[static_cast<std::size_t>(m_caret)] = code;
        moveCaret(1, 0);
    }
    return CharResult::None;
}

std::optional<CHexEditModel::Hit> CHexEditModel::hitTest(int cell, int line) const
{
    if (!m_hasData || !m_showHex || line < 0 || line > m_linesPerPage)
        return std::nullopt;
    const long long first = m_top + static_cast<long long>(line) * m_bytesPerRow;
    if (first > length() || cell < hexColumn() || cell - hexColumn() >= m_bytesPerRow * 3)
        return std::nullopt;
    const int c = cell - hexColumn();
    // A click on the blank after a pair means the next byte's high nibble;
    // one behind the data, the append position.
    const long long index = std::min<long long>(first + (c + 1) / 3, caretLimit());
    const Area area = c % 3 == 1 && index < length() ? LowNibble : HighNibble;
    return Hit{static_cast<int>(index), area};
}

void CHexEditModel::applyHit(int cell, int line)
{
    if (const auto hit = hitTest(cell, line)) {
        m_caret = hit->index;
        m_area = hit->area;
    }
}

void CHexEditModel::mousePress(int cell, int line, bool shift)
{
    if (!m_hasData)
        return;
    m_pressed = true;
    if (shift) {
        const int before = m_caret;
        applyHit(cell, line);
        m_selStart = before;
        m_selEnd = m_caret + (isHexArea() ? 1 : 0);
        clampSelectionEnd();
        m_dragPending = false;
    } else {
        applyHit(cell, line);
        clearSelection();
        m_dragPending = true;
    }
    m_caretHidden = hasSelection();
}

void CHexEditModel::beginDrag()
{
    if (!m_hasData || !m_pressed || !m_dragPending)
        return;
    m_dragPending = false;
    m_selStart = m_selEnd = m_caret;
    m_caretHidden = true;
}

void CHexEditModel::mouseDrag(int cell, int line, int edge)
{
    if (!m_hasData || !m_pressed || !hasSelection())
        return;
    if (edge < 0)
        scroll(Scroll::LineUp);
    else if (edge > 0)
        scroll(Scroll::LineDown);
    if (const auto hit = hitTest(cell, line)) {
        m_caret = hit->index;
        m_area = hit->area;
        m_selEnd = m_caret + (isHexArea() ? 1 : 0);
        clampSelectionEnd();
    }
    m_caretHidden = true;
}

void CHexEditModel::mouseRelease()
{
    m_pressed = false;
    m_dragPending = false;
}

// After the length changed: page, view and caret follow, so neither the caret
// nor the view is left beyond the data.
void CHexEditModel::lengthChanged()
{
    clampCaret();
    updatePage();
    keepCaretInView();
    placeCaret();
}

void CHexEditModel::deleteRange(int a, int b)
{
    if (!m_hasData)
        return;
    a = clampTo(a, 0, length());
    b = clampTo(b, 0, length());
    if (a > b)
        std::swap(a, b);
    clearSelection();
    // The data always keeps at least one byte.
    if (b - a >= length())
        return;
    m_data.erase(m_data.begin() + a, m_data.begin() + b);
    lengthChanged();
}

void CHexEditModel::deleteSelection()
{
    if (!m_hasData || !hasSelection())
        return;
    const int low = selectionLow();
    deleteRange(low, selectionHigh());
    m_caret = low;
    lengthChanged();
}

void CHexEditModel::insertBytes(int position, int n)
{
    if (!m_hasData)
        return;
    n = std::min(n, kMaxLength - length());
    if (n <= 0)
        return;
    position = clampTo(position, 0, length());
    m_data.insert(m_data.begin() + position, static_cast<std::size_t>(n), std::uint8_t{0});
    clearSelection();
    lengthChanged();
}

void CHexEditModel::selectAll()
{
    if (!m_hasData)
        return;
    m_selStart = 0;
    m_selEnd = length();
    m_caretHidden = true;
}

std::vector<std::uint8_t> CHexEditModel::selectedBytes() const
{
    if (!m_hasData || !hasSelection())
        return {};
    const int low = clampTo(selectionLow(), 0, length());
    const int high = clampTo(selectionHigh(), 0, length());
    return {m_data.begin() + low, m_data.begin() + high};
}

std::string CHexEditModel::selectedText() const
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : selectedBytes()) {
        if (m_area == CharArea) {
            text += isPrintable(byte) ? static_cast<char>(byte) : '.';
        } else {
            text += kDigits[byte >> 4];
            text += kDigits[byte & 0x0F];
            text += ' ';
        }
    }
    return text;
}
