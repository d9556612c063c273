#pragma once

#include "input/HexEditModel.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPoint>

#include <cstdint>

class QKeyEvent;

// The hex input: edits a byte buffer shown as hexadecimal pairs (optionally
// with an address and a character column). It draws everything itself; the
// editing rules live in CHexEditModel.
//
// Enter emits enterPressed() (the main window sends the bytes) before the key
// is handled as a character. Copy puts the selected bytes on the clipboard as
// binary data together with their text form.
class CHexEdit : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Binary clipboard formats: on Windows Qt maps the first to the registered
    // format "BinaryData"; the second is what other Linux programs can ask for.
    static constexpr const char *kWindowsBinaryMime
        = "application/x-qt-windows-mime;value=\"BinaryData\"";
    static constexpr const char *kBinaryMime = "application/x-orba-binarydata";

    explicit CHexEdit(QWidget *parent = nullptr);
    ~CHexEdit() override;

    void SetData(const std::uint8_t *bytes, int count);
    int GetData(std::uint8_t *buffer, int max) const;
    void SetBytesPerRow(int n);
    void SetOptions(bool showAddress, bool showHex, bool showChars, bool wideAddress);

    const CHexEditModel &model() const { return m_model; }
    int characterWidth() const { return m_charWidth; }
    int lineHeight() const { return m_lineHeight; }
    // True while the caret is drawn: focus, data, not hidden, inside the view.
    bool isCaretShown() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void copy();
    void cut();
    void deleteSelection();
    void selectAll();

signals:
    void enterPressed();

protected:
    bool event(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateClientLines();
    void refresh();
    void onScrollAction(int action);
    bool wantsShortcut(const QKeyEvent *event) const;
    QRect caretRect() const;
    int cellAt(int x) const;
    int lineAt(int y) const;

    CHexEditModel m_model;
    QFont m_font;
    int m_charWidth = 1;
    int m_lineHeight = 1;
    QPoint m_pressPos;
};
