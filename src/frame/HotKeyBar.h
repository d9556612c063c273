#pragma once

#include <QRect>
#include <QWidget>

#include <array>

class CMainFrame;
class QPushButton;

// The bar of the twelve hotkey buttons F1 to F12 at the bottom of the window,
// in three columns of four: F1-F4, F5-F8, F9-F12. A button fires its hotkey.
class CHotKeyBar final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kButtons = 12;
    static constexpr int kFirstButtonId = 1060;

    explicit CHotKeyBar(CMainFrame *frame, QWidget *parent = nullptr);

    QPushButton *button(int index) const { return m_buttons[index]; }

    // Where button `index` goes in a bar `barWidth` wide whose rows are
    // `rowHeight` high.
    static QRect buttonGeometry(int index, int barWidth, int rowHeight);
    // Row height: 13 dialog units of a font `fontHeight` pixels high.
    static int rowHeightForFont(int fontHeight);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Captions anew from the main window ("F1: text").
    void updateCaptions();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int rowHeight() const;
    void layoutButtons();

    CMainFrame *m_frame;
    std::array<QPushButton *, kButtons> m_buttons{};
};
