#include "DisplayWidget.h"

#include "display/DisplayModel.h"
#include "platform/Codepage.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

CDisplayWidget::CDisplayWidget(const CDisplayModel &model, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_buffer(model.buffer())
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    setDisplayFont(font());
    m_repaintTimer.setSingleShot(true);
    connect(&m_repaintTimer, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
    connect(&model, &CDisplayModel::appended, this, &CDisplayWidget::scheduleUpdate);
    connect(&model, &CDisplayModel::reset, this, &CDisplayWidget::onReset);
    connect(&model, &CDisplayModel::oldestDropped, this, &CDisplayWidget::onOldestDropped);
}

void CDisplayWidget::setDisplayFont(const QFont &f)
{
    setFont(f);
    viewport()->setFont(f);
    const QFontMetrics fm(f);
    m_lineHeight = std::max(1, fm.height());
    m_ascent = fm.ascent();
    // Fractional: glyph advances of a scaled font are rarely whole pixels, and
    // runs drawn at rounded columns would overlap or leave gaps.
    m_charWidth = std::max<qreal>(1.0, QFontMetricsF(f).horizontalAdvance(QLatin1Char('M')));
    updateScrollBars();
    viewport()->update();
}

void CDisplayWidget::scheduleUpdate()
{
    // Scroll bars follow once the event loop turns: a burst of appends costs
    // one update.
    if (!m_updatePending) {
        m_updatePending = true;
        QMetaObject::invokeMethod(this, &CDisplayWidget::applyPendingUpdate, Qt::QueuedConnection);
    }
    scheduleRepaint();
}

void CDisplayWidget::scheduleRepaint()
{
    if (m_repaintTimer.isActive())
        return;
    const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : kRepaintIntervalMs;
    if (since >= kRepaintIntervalMs)
        viewport()->update(); // the first change after a quiet spell shows at once
    else
        m_repaintTimer.start(static_cast<int>(kRepaintIntervalMs - since));
}

void CDisplayWidget::applyPendingUpdate()
{
    if (!m_updatePending)
        return;
    // The scroll that follows the text repaints at the pace of the appends.
    m_followingText = true;
    updateScrollBars();
    m_followingText = false;
}

void CDisplayWidget::onOldestDropped(const CDisplayBuffer::Dropped &d)
{
    const int first = firstVisibleLine(); // the scroll bar has not moved yet
    const auto move = [&](qsizetype &o) {
        o = std::max<qsizetype>(0, o - d.shift);
    };
    move(m_selAnchor);
    move(m_selStart);
    move(m_selEnd);
    // The lines in view stay in view; when they are gone, the top is shown.
    m_pendingFirstLine = std::max(0, first - d.lines);
    scheduleUpdate();
    emit selectionChanged();
}

void CDisplayWidget::onReset()
{
    m_selAnchor = m_selStart = m_selEnd = 0;
    m_pendingFirstLine = 0;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit selectionChanged();
}

int CDisplayWidget::firstVisibleLine() const
{
    return m_pendingFirstLine >= 0 ? m_pendingFirstLine : verticalScrollBar()->value();
}

void CDisplayWidget::scrollToLine(int line)
{
    m_pendingFirstLine = std::clamp(line, 0, std::max(0, m_buffer.lineCount() - 1));
    scheduleUpdate();
}

int CDisplayWidget::visibleLineCapacity() const
{
    return viewport()->height() / m_lineHeight;
}

void CDisplayWidget::updateScrollBars()
{
    const int lines = m_buffer.lineCount();
    const int page = std::max(1, visibleLineCapacity());
    // The last line may scroll up to the top, as in a rich-text view.
    verticalScrollBar()->setRange(0, std::max(0, lines - 1));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(1);
    const int cols = visibleColumns();
    const qsizetype longest = std::min<qsizetype>(m_buffer.longestLine(), 1 << 30);
    horizontalScrollBar()->setRange(0, std::max<int>(0, static_cast<int>(longest) - cols + 1));
    horizontalScrollBar()->setPageStep(std::max(1, cols));
    horizontalScrollBar()->setSingleStep(1);
    m_updatePending = false;
    if (m_pendingFirstLine >= 0) {
        const int line = m_pendingFirstLine;
        m_pendingFirstLine = -1;
        verticalScrollBar()->setValue(line);
    }
}

int CDisplayWidget::visibleColumns() const
{
    return static_cast<int>(std::max(0, viewport()->width() - kTextMargin) / m_charWidth);
}

void CDisplayWidget::resizeEvent(QResizeEvent *event)
{
    // Comes for the frame and for the viewport: scroll bars that appear or
    // go change the room for text without the window changing its size.
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    emit viewResized();
}

void CDisplayWidget::scrollContentsBy(int, int)
{
    if (m_followingText)
        scheduleRepaint();
    else
        viewport()->update();
}

void CDisplayWidget::paintEvent(QPaintEvent *)
{
    m_sinceRepaint.start();
    QPainter p(viewport());
    const QPalette &pal = palette();
    const int first = firstVisibleLine();
    const int rows = viewport()->height() / m_lineHeight + 1;
    const qsizetype firstCol = horizontalScrollBar()->value();
    const qsizetype cols = visibleColumns() + 2;
    const QByteArray &text = m_buffer.text();
    const auto &runs = m_buffer.colorRuns();

    for (int r = 0; r < rows && first + r < m_buffer.lineCount(); ++r) {
        const int line = first + r;
        const qsizetype lineStart = m_buffer.lineStart(line);
        const qsizetype lineLen = m_buffer.lineLength(line);
        const int y = r * m_lineHeight;
        if (firstCol >= lineLen
            && !(hasSelection() && m_selEnd > lineStart + lineLen
                 && m_selStart <= lineStart + lineLen))
            continue;
        const qsizetype from = lineStart + std::min(firstCol, lineLen);
        const qsizetype to = lineStart + std::min(firstCol + cols, lineLen);
        paintHighlights(p, lineStart, lineLen, from, to, y);

        // Selection background, including the line break as one blank cell.
        if (hasSelection() && m_selStart < std::max(to, lineStart + lineLen + 1)
            && m_selEnd > from) {
            const qsizetype s = std::max(m_selStart, from);
            const qsizetype e = std::min(m_selEnd, lineStart + lineLen + 1);
            if (e > s) {
                const qreal x = kTextMargin + static_cast<qreal>(s - from) * m_charWidth;
                p.fillRect(QRectF(x, y, static_cast<qreal>(e - s) * m_charWidth, m_lineHeight),
                           pal.color(QPalette::Highlight));
            }
        }
        // Text, one piece per colour run (and per selection edge).
        qsizetype pos = from;
        std::size_t run = runs.empty() ? 0 : m_buffer.runAt(pos);
        while (pos < to) {
            qsizetype end = to;
            QRgb color = runs.empty() ? qRgb(0, 0, 0) : runs[run].color;
            if (!runs.empty() && run + 1 < runs.size())
                end = std::min(end, runs[run + 1].start);
            bool selected = false;
            if (hasSelection()) {
                if (pos < m_selStart)
                    end = std::min(end, m_selStart);
                else if (pos < m_selEnd) {
                    end = std::min(end, m_selEnd);
                    selected = true;
                }
            }
            p.setPen(selected ? pal.color(QPalette::HighlightedText) : QColor(color));
            p.drawText(
                QPointF(kTextMargin + static_cast<qreal>(pos - from) * m_charWidth, y + m_ascent),
                codepage::toPrintable(text.constData() + pos, end - pos));
            pos = end;
            while (!runs.empty() && run + 1 < runs.size() && runs[run + 1].start <= pos)
                ++run;
        }
    }
}

qsizetype CDisplayWidget::offsetAt(const QPoint &pos) const
{
    if (m_buffer.lineCount() == 0)
        return 0;
    const int line
        = std::clamp(firstVisibleLine() + pos.y() / m_lineHeight, 0, m_buffer.lineCount() - 1);
    const qsizetype col
        = std::max<qsizetype>(0, horizontalScrollBar()->value()
                                     + static_cast<qsizetype>(std::floor(
                                         (pos.x() - kTextMargin + m_charWidth / 2) / m_charWidth)));
    return m_buffer.lineStart(line) + std::min(col, m_buffer.lineLength(line));
}

void CDisplayWidget::setSelection(qsizetype anchor, qsizetype pos)
{
    m_selAnchor = anchor;
    m_selStart = std::min(anchor, pos);
    m_selEnd = std::max(anchor, pos);
    viewport()->update();
    emit selectionChanged();
}

void CDisplayWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype o = offsetAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier)
        setSelection(m_selAnchor, o);
    else
        setSelection(o, o);
    m_selecting = true;
}

void CDisplayWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting)
        return;
    QPoint pt = event->position().toPoint();
    // Dragging beyond the edges scrolls, so long selections are possible.
    if (pt.y() < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    else if (pt.y() > viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
    setSelection(m_selAnchor, offsetAt(pt));
}

void CDisplayWidget::mouseReleaseEvent(QMouseEvent *)
{
    m_selecting = false;
}

void CDisplayWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Selects the word (non-blank run) under the mouse.
    const qsizetype o = offsetAt(event->position().toPoint());
    const QByteArray &t = m_buffer.text();
    auto isWord = [&](qsizetype i) {
        return i >= 0 && i < t.size() && t[i] != ' ' && t[i] != '\n';
    };
    qsizetype s = o;
    qsizetype e = o;
    while (isWord(s - 1))
        --s;
    while (isWord(e))
        ++e;
    setSelection(s, e);
}

void CDisplayWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

QString CDisplayWidget::textOf(qsizetype from, qsizetype to) const
{
    const QByteArray &t = m_buffer.text();
    from = std::clamp<qsizetype>(from, 0, t.size());
    to = std::clamp<qsizetype>(to, from, t.size());
    return codepage::toUnicode(t.constData() + from, to - from);
}

QString CDisplayWidget::selectedText() const
{
    return textOf(m_selStart, m_selEnd);
}

QString CDisplayWidget::plainText() const
{
    return textOf(0, m_buffer.length());
}

void CDisplayWidget::copy()
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void CDisplayWidget::selectAll()
{
    setSelection(0, m_buffer.length());
}

void CDisplayWidget::select(qsizetype start, qsizetype end)
{
    start = std::clamp<qsizetype>(start, 0, m_buffer.length());
    end = std::clamp<qsizetype>(end, start, m_buffer.length());
    setSelection(start, end);
}

void CDisplayWidget::ensureVisible(qsizetype start, qsizetype end)
{
    // The scroll bars' ranges must know the text appended this turn.
    updateScrollBars();
    const int line = m_buffer.lineOfOffset(start);
    const int first = firstVisibleLine();
    const int rows = std::max(1, visibleLineCapacity());
    if (line < first || line >= first + rows)
        verticalScrollBar()->setValue(std::max(0, line - rows / 2));
    const qsizetype lineStart = m_buffer.lineStart(line);
    const qsizetype startCol = start - lineStart;
    const qsizetype endCol = std::max(startCol + 1, end - lineStart);
    const qsizetype firstCol = horizontalScrollBar()->value();
    const qsizetype cols = std::max(1, visibleColumns());
    if (startCol < firstCol || endCol > firstCol + cols) {
        // A little of what comes before stays in view, where it fits.
        const qsizetype col = std::max<qsizetype>(0, std::min(startCol - cols / 4, endCol - cols));
        horizontalScrollBar()->setValue(static_cast<int>(std::min<qsizetype>(col, 1 << 30)));
    }
    viewport()->update();
}

QRect CDisplayWidget::cellRect(qsizetype offset) const
{
    if (offset < 0 || offset > m_buffer.length())
        return {};
    const int line = m_buffer.lineOfOffset(offset);
    const int row = line - firstVisibleLine();
    const qsizetype col = offset - m_buffer.lineStart(line) - horizontalScrollBar()->value();
    if (row < 0 || row * m_lineHeight >= viewport()->height() || col < 0 || col > visibleColumns())
        return {};
    const qreal x = kTextMargin + static_cast<qreal>(col) * m_charWidth;
    return QRectF(x, row * m_lineHeight, m_charWidth, m_lineHeight).toAlignedRect();
}

void CDisplayWidget::setHighlight(const CDisplaySearch &search)
{
    m_highlight = search;
    viewport()->update();
}

void CDisplayWidget::clearHighlight()
{
    m_highlight.setPattern(QString());
    viewport()->update();
}

void CDisplayWidget::paintHighlights(QPainter &p, qsizetype lineStart, qsizetype lineLen,
                                     qsizetype from, qsizetype to, int y)
{
    if (m_highlight.isEmpty())
        return;
    // Only the part of the line in view is searched, however long the line.
    const qsizetype m = m_highlight.length();
    const char *line = m_buffer.text().constData() + lineStart;
    const qsizetype first = std::max<qsizetype>(0, from - lineStart - m + 1);
    const qsizetype last = to - lineStart;
    static const QColor kMatch(0xff, 0xe0, 0x60);
    for (qsizetype at = m_highlight.findForward(line, lineLen, first, last); at >= 0;
         at = m_highlight.findForward(line, lineLen, at + 1, last)) {
        const qsizetype s = std::max(lineStart + at, from);
        const qsizetype e = std::min(lineStart + at + m, to);
        const qreal x = kTextMargin + static_cast<qreal>(s - from) * m_charWidth;
        p.fillRect(QRectF(x, y, static_cast<qreal>(e - s) * m_charWidth, m_lineHeight), kMatch);
    }
}

void CDisplayWidget::setContextMenuActions(const QList<QAction *> &actions)
{
    m_contextActions = actions;
}

QMenu *CDisplayWidget::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("displayContextMenu"));
    for (QAction *a : std::as_const(m_contextActions)) {
        if (a)
            menu->addAction(a);
        else
            menu->addSeparator();
    }
    return menu;
}

void CDisplayWidget::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_contextActions.isEmpty())
        return;
    // Copy and Select all act on what has the focus.
    setFocus(Qt::PopupFocusReason);
    QMenu *menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
