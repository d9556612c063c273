#include "HexEdit.h"

#include "platform/Codepage.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>
#include <optional>

namespace {

using Key = CHexEditModel::Key;

std::optional<Key> navigationKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Key::Tab;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_Insert:
        return Key::Insert;
    case Qt::Key_Delete:
        return Key::Delete;
    default:
        return std::nullopt;
    }
}

// The character a key types, as the byte the control stores, or -1. Ctrl with a
// letter types its control code (Ctrl+C = 0x03); Alt combinations type nothing,
// they belong to menus.
int characterCode(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & (Qt::AltModifier | Qt::MetaModifier))
        return -1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Escape:
        return 0x1B;
    default:
        break;
    }
    if (mods & Qt::ControlModifier) {
        if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
            return event->key() - Qt::Key_A + 1;
        return -1;
    }
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F)
        return -1;
    return static_cast<unsigned char>(codepage::fromUnicode(QStringView(text).first(1)).at(0));
}

int floorDiv(int value, int divisor)
{
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

} // namespace

CHexEdit::CHexEdit(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    m_font = QFont(QStringLiteral("Courier New"));
    m_font.setPixelSize(12);
    m_font.setStyleHint(QFont::Monospace);
    m_font.setFixedPitch(true);
    if (!QFontInfo(m_font).fixedPitch()) {
        m_font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        m_font.setPixelSize(12);
    }
    const QFontMetrics metrics(m_font);
    m_charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    m_lineHeight = std::max(1, metrics.height());

    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &CHexEdit::onScrollAction);
    refresh();
}

CHexEdit::~CHexEdit() = default;

void CHexEdit::SetData(const std::uint8_t *bytes, int count)
{
    m_model.setData(bytes, count);
    refresh();
}

int CHexEdit::GetData(std::uint8_t *buffer, int max) const
{
    return m_model.getData(buffer, max);
}

void CHexEdit::SetBytesPerRow(int n)
{
    m_model.setBytesPerRow(n);
    updateGeometry();
    refresh();
}

void CHexEdit::SetOptions(bool showAddress, bool showHex, bool showChars, bool wideAddress)
{
    m_model.setOptions(showAddress, showHex, showChars, wideAddress);
    updateGeometry();
    refresh();
}

QSize CHexEdit::sizeHint() const
{
    const int cells = m_model.charColumn() + (m_model.showChars() ? m_model.bytesPerRow() : 0);
    const int frame = 2 * frameWidth();
    return {cells * m_charWidth + verticalScrollBar()->sizeHint().width() + frame,
            3 * m_lineHeight + frame};
}

QSize CHexEdit::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return {8 * m_charWidth + verticalScrollBar()->sizeHint().width() + frame,
            m_lineHeight + frame};
}

void CHexEdit::copy()
{
    const std::vector<std::uint8_t> bytes = m_model.selectedBytes();
    if (bytes.empty())
        return;
    const QByteArray raw(reinterpret_cast<const char *>(bytes.data()),
                         static_cast<qsizetype>(bytes.size()));
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(kWindowsBinaryMime), raw);
    mime->setData(QString::fromLatin1(kBinaryMime), raw);
    mime->setText(QString::fromLatin1(m_model.selectedText()));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void CHexEdit::cut()
{
    copy();
    deleteSelection();
}

void CHexEdit::deleteSelection()
{
    updateClientLines();
    m_model.deleteSelection();
    refresh();
}

void CHexEdit::selectAll()
{
    m_model.selectAll();
    refresh();
}

bool CHexEdit::isCaretShown() const
{
    return hasFocus() && m_model.hasData() && !m_model.caretHidden()
           && viewport()->rect().contains(caretRect().topLeft());
}

QRect CHexEdit::caretRect() const
{
    return {m_model.caretCell() * m_charWidth, m_model.caretLine() * m_lineHeight,
            m_model.caretCells() * m_charWidth, m_lineHeight};
}

int CHexEdit::cellAt(int x) const
{
    return floorDiv(x, m_charWidth);
}

int CHexEdit::lineAt(int y) const
{
    return floorDiv(y, m_lineHeight);
}

void CHexEdit::updateClientLines()
{
    const int lines = viewport()->height() / m_lineHeight;
    if (lines != m_model.clientLines())
        m_model.setClientLines(lines);
}

void CHexEdit::refresh()
{
    updateClientLines();
    QScrollBar *bar = verticalScrollBar();
    const int maximum = m_model.maxTop() / m_model.bytesPerRow();
    bar->setRange(0, maximum);
    bar->setPageStep(m_model.linesPerPage());
    bar->setSingleStep(1);
    bar->setValue(m_model.top() / m_model.bytesPerRow());
    bar->setEnabled(maximum > 0);
    viewport()->update();
}

void CHexEdit::onScrollAction(int action)
{
    using Scroll = CHexEditModel::Scroll;
    updateClientLines();
    QScrollBar *bar = verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        m_model.scroll(Scroll::LineUp);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        m_model.scroll(Scroll::LineDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        m_model.scroll(Scroll::PageUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        m_model.scroll(Scroll::PageDown);
        break;
    case QAbstractSlider::SliderMove:
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        m_model.scroll(Scroll::ThumbTrack, bar->sliderPosition());
        break;
    default:
        return;
    }
    // The slider applies this position once the action is done.
    bar->setSliderPosition(m_model.top() / m_model.bytesPerRow());
    viewport()->update();
}

void CHexEdit::resizeEvent(QResizeEvent *event)
{
    // A new height changes the page, so paging and keeping the caret in view
    // follow the visible lines.
    QAbstractScrollArea::resizeEvent(event);
    refresh();
}

void CHexEdit::scrollContentsBy(int, int)
{
    // The view is painted from the model's top; nothing to move.
    viewport()->update();
}

bool CHexEdit::focusNextPrevChild(bool)
{
    // Tab switches between hex and character entry instead of moving the focus.
    return false;
}

bool CHexEdit::wantsShortcut(const QKeyEvent *event) const
{
    if (navigationKey(event->key()) || event->matches(QKeySequence::Copy)
        || event->matches(QKeySequence::Cut) || event->matches(QKeySequence::SelectAll))
        return true;
    // Plain typing, Enter and Backspace belong to the control; other Ctrl
    // combinations stay with the window's shortcuts.
    return !(event->modifiers() & Qt::ControlModifier) && event->key() != Qt::Key_Escape
           && characterCode(event) >= 0;
}

bool CHexEdit::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride
        && wantsShortcut(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CHexEdit::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (!m_model.hasData())
        return;
    updateClientLines();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;

    // Navigation keys first, so that Shift+Delete and Ctrl+Insert keep their
    // meaning here instead of acting as Cut and Copy.
    if (const auto key = navigationKey(event->key())) {
        m_model.keyDown(*key, shift, ctrl);
    } else if (event->matches(QKeySequence::SelectAll)) {
        m_model.selectAll();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else {
        const int code = characterCode(event);
        if (code < 0) {
            event->ignore();
            return;
        }
        if (code == 0x0D) {
            // The send may replace the data (clear input); handling goes on with it.
            const QPointer<CHexEdit> self(this);
            emit enterPressed();
            if (!self)
                return;
        }
        if (m_model.character(static_cast<std::uint8_t>(code), ctrl)
            == CHexEditModel::CharResult::Copy)
            copy();
    }
    refresh();
}

void CHexEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_model.hasData())
        return;
    setFocus(Qt::MouseFocusReason);
    updateClientLines();
    m_pressPos = event->position().toPoint();
    m_model.mousePress(cellAt(m_pressPos.x()), lineAt(m_pressPos.y()),
                       event->modifiers() & Qt::ShiftModifier);
    refresh();
}

void CHexEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_model.hasData())
        return;
    updateClientLines();
    QPoint point = event->position().toPoint();
    if (m_model.dragPending()
        && (point - m_pressPos).manhattanLength() >= QApplication::startDragDistance())
        m_model.beginDrag();
    // Beyond the top or bottom edge the view scrolls a line and the edge row counts.
    int edge = 0;
    if (point.y() < 0) {
        edge = -1;
        point.setY(0);
    } else if (point.y() >= viewport()->height()) {
        edge = 1;
        point.setY(std::max(0, viewport()->height() - 1));
    }
    m_model.mouseDrag(cellAt(point.x()), lineAt(point.y()), edge);
    refresh();
}

void CHexEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_model.mouseRelease();
    refresh();
}

void CHexEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click has no meaning of its own; the first click already acted.
    event->accept();
}

void CHexEdit::focusInEvent(QFocusEvent *event)
{
    m_model.focusIn();
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void CHexEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void CHexEdit::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    if (!m_model.hasData())
        return;
    updateClientLines();
    painter.setFont(m_font);

    static const char kDigits[] = "0123456789ABCDEF";
    const QFontMetrics metrics(m_font);
    const int ascent = metrics.ascent();
    const int bottom = viewport()->height() / m_lineHeight * m_lineHeight;
    const int bytesPerRow = m_model.bytesPerRow();
    const int length = m_model.length();
    const std::vector<std::uint8_t> &bytes = m_model.data();
    const bool selected = m_model.hasSelection();
    const bool hexSelection = selected && m_model.isHexArea();
    const bool charSelection = selected && m_model.area() == CHexEditModel::CharArea;
    const int low = m_model.selectionLow();
    const int high = m_model.selectionHigh();
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightText = palette().color(QPalette::HighlightedText);

    // One cell run, on the selection colours when asked to.
    auto drawCells = [&](int cell, int y, const QString &text, bool inSelection) {
        const int x = cell * m_charWidth;
        if (inSelection)
            painter.fillRect(x, y, int(text.size()) * m_charWidth, m_lineHeight, highlight);
        painter.setPen(inSelection ? highlightText : QColor(Qt::black));
        painter.drawText(x, y + ascent, text);
    };

    for (int line = 0, y = 0; y < bottom; ++line, y += m_lineHeight) {
        const int first = m_model.top() + line * bytesPerRow;
        if (first >= length)
            break;
        if (m_model.showAddress())
            drawCells(0, y,
                      QStringLiteral("%1")
                          .arg(first, m_model.addressDigits(), 16, QLatin1Char('0'))
                          .toUpper(),
                      false);
        for (int i = 0; i < bytesPerRow && first + i < length; ++i) {
            const int index = first + i;
            const std::uint8_t byte = bytes[static_cast<std::size_t>(index)];
            const bool inRange = index >= low && index < high;
            if (m_model.showHex()) {
                QString pair(3, QLatin1Char(' '));
                pair[0] = QLatin1Char(kDigits[byte >> 4]);
                pair[1] = QLatin1Char(kDigits[byte & 0x0F]);
                drawCells(m_model.hexColumn() + i * 3, y, pair, hexSelection && inRange);
            }
            if (m_model.showChars()) {
                const QChar shown = byte >= 0x20 && byte < 0x7F ? QChar(byte) : QLatin1Char('.');
                drawCells(m_model.charColumn() + i, y, QString(shown), charSelection && inRange);
            }
        }
    }

    if (isCaretShown()) {
        // Inverted block, so the digit under the caret stays readable.
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(caretRect(), Qt::white);
    }
}
