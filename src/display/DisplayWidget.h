#pragma once

#include "display/DisplayBuffer.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QFont>
#include <QTimer>

// Read-only, no-wrap text view over a CDisplayBuffer: draws only the lines in
// view, so appending stays cheap however long the text grows. The user can
// select with the mouse and copy; the program appends and scrolls.
class CDisplayWidget final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit CDisplayWidget(QWidget *parent = nullptr);

    CDisplayBuffer &buffer() { return m_buffer; }
    const CDisplayBuffer &buffer() const { return m_buffer; }

    void appendText(const QByteArray &text, QRgb color);
    void setText(const QByteArray &text, QRgb color);
    void clear();
    // Removes the oldest text (see CDisplayBuffer::dropOldest); what stays in
    // view and selected stays so.
    CDisplayBuffer::Dropped dropOldest(qsizetype minChars, const QByteArray &marker,
                                       QRgb markerColor);

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

public slots:
    void copy();
    void selectAll();

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void scheduleUpdate();
    void scheduleRepaint();
    void applyPendingUpdate();
    void updateScrollBars();
    qsizetype offsetAt(const QPoint &pos) const;
    QString textOf(qsizetype from, qsizetype to) const;
    void setSelection(qsizetype anchor, qsizetype pos);

    CDisplayBuffer m_buffer;
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
