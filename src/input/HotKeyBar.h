#pragma once

#include <QRect>
#include <QWidget>

#include <array>

class QPushButton;

// The bar of the twelve hotkey buttons F1 to F12 at the bottom of the window,
// in three columns of four: F1-F4, F5-F8, F9-F12. A button announces its
// hotkey; the window sends it. A caption wider than its button is shortened
// with "…", and the button's tool tip shows it whole.
class CHotKeyBar final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kButtons = 12;
    static constexpr int kFirstButtonId = 1060;

    explicit CHotKeyBar(QWidget *parent = nullptr);

    QPushButton *button(int index) const { return m_buttons[index]; }
    // The caption as set, before any shortening.
    const QString &caption(int index) const { return m_captions[index]; }

    // Caption ("F1: text") of button `index`; `hexData` says that the hotkey's
    // text is hexadecimal data, which its tool tip then explains.
    void setHotKey(int index, const QString &caption, bool hexData);

    // Where button `index` goes in a bar `barWidth` wide whose rows are
    // `rowHeight` high.
    static QRect buttonGeometry(int index, int barWidth, int rowHeight);
    // Row height: 13 dialog units of a font `fontHeight` pixels high.
    static int rowHeightForFont(int fontHeight);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void hotKeyClicked(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int rowHeight() const;
    void layoutButtons();
    void showCaption(int index);

    std::array<QPushButton *, kButtons> m_buttons{};
    std::array<QString, kButtons> m_captions;
    std::array<bool, kButtons> m_hexData{};
};
