#pragma once

#include "display/DisplayBuffer.h"
#include "display/DisplaySearch.h"

class CDisplayModel;

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QFont>
#include <QTimer>

class QAction;
class QPainter;
class QMenu;

// Read-only, no-wrap text view over the text of a display model: draws only
// the lines in view, so appending stays cheap however long the text grows.
// The user can select with the mouse and copy; the model grows and the
// program scrolls.
class CDisplayWidget final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // Room between the left border and the text, so the first column does
    // not touch the frame.
    static constexpr int kTextMargin = 4;

    explicit CDisplayWidget(const CDisplayModel &model, QWidget *parent = nullptr);

    const CDisplayBuffer &buffer() const { return m_buffer; }

    int firstVisibleLine() const;
    // Takes effect at once for firstVisibleLine(); the scroll bar follows when
    // the event loop turns, so a burst of appends costs one update.
    void scrollToLine(int line);
    // Whole lines that fit the view.
    int visibleLineCapacity() const;
    int lineHeight() const { return m_lineHeight; }

    void setDisplayFont(const QFont &font);
    bool hasSelection() const { return m_selStart != m_selEnd; }
    QString selectedText() const;
    QString plainText() const;
    qsizetype selectionStart() const { return m_selStart; }
    qsizetype selectionEnd() const { return m_selEnd; }
    void select(qsizetype start, qsizetype end);
    // Scrolls as little as needed to show the characters [start, end) of
    // one line, or, when the line is out of view, to show it in the middle.
    void ensureVisible(qsizetype start, qsizetype end);
    // Where the character at `offset` is drawn in the viewport (its cell),
    // or an empty rectangle when it is not in view.
    QRect cellRect(qsizetype offset) const;

    // Matches of `search` in view get a marker colour (the current one is
    // the selection); an empty search marks none.
    void setHighlight(const CDisplaySearch &search);
    void clearHighlight();
    bool isHighlighting() const { return !m_highlight.isEmpty(); }

    // The commands of the context menu, a null entry for each separator;
    // they stay the window's, the menu only shows them.
    void setContextMenuActions(const QList<QAction *> &actions);
    // The context menu as it pops up (the caller owns it).
    QMenu *createContextMenu(QWidget *parent);

public slots:
    void copy();
    void selectAll();

signals:
    void selectionChanged();
    // The room for text changed (window size, scroll bars shown or hidden).
    void viewResized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // The model's text was replaced: selection and view start at the top.
    void onReset();
    // The oldest text went; what stays in view and selected stays so.
    void onOldestDropped(const CDisplayBuffer::Dropped &dropped);
    void scheduleUpdate();
    void scheduleRepaint();
    void applyPendingUpdate();
    void updateScrollBars();
    qsizetype offsetAt(const QPoint &pos) const;
    QString textOf(qsizetype from, qsizetype to) const;
    void setSelection(qsizetype anchor, qsizetype pos);
    // Columns of text in view, beside the margin.
    int visibleColumns() const;
    void paintHighlights(QPainter &p, qsizetype lineStart, qsizetype lineLen, qsizetype from,
                         qsizetype to, int y);

    const CDisplayBuffer &m_buffer;
    CDisplaySearch m_highlight;
    QList<QAction *> m_contextActions;
    int m_lineHeight = 14;
    int m_ascent = 11;
    qreal m_charWidth = 7;
    qsizetype m_selAnchor = 0;
    qsizetype m_selStart = 0;
    qsizetype m_selEnd = 0;
    bool m_selecting = false;
    bool m_updatePending = false;
    bool m_followingText = false; // the scroll bars are being set after appends
    int m_pendingFirstLine = -1;  // set by scrollToLine() until applied
    // Appends repaint at most this often, so a flood does not spend its time
    // painting text that is replaced before anyone can read it.
    static constexpr int kRepaintIntervalMs = 25;
    QElapsedTimer m_sinceRepaint;
    QTimer m_repaintTimer;
};
