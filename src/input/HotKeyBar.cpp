#include "HotKeyBar.h"

#include <QEvent>
#include <QPushButton>
#include <QStyle>

CHotKeyBar::CHotKeyBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("hotKeyBarButtons"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (int i = 0; i < kButtons; ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("hotKey%1").arg(kFirstButtonId + i));
        // Keyboard focus stays in the inputs; the keys F1-F12 do the same.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { emit hotKeyClicked(i); });
        m_buttons[i] = b;
        m_captions[i] = QStringLiteral("F%1: ").arg(i + 1);
        showCaption(i);
    }
}

void CHotKeyBar::setHotKey(int index, const QString &caption, bool hexData)
{
    if (index < 0 || index >= kButtons)
        return;
    m_captions[index] = caption;
    m_hexData[index] = hexData;
    showCaption(index);
}

void CHotKeyBar::showCaption(int index)
{
    QPushButton *b = m_buttons[index];
    const QString &caption = m_captions[index];
    // The room for text inside the button's frame and margins.
    const int margins = 2
                        * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b)
                           + style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b));
    const int room = b->width() - margins;
    QString shown = room > 0 ? b->fontMetrics().elidedText(caption, Qt::ElideRight, room) : caption;
    // "&" would turn the next character into a mnemonic.
    b->setText(shown.replace(u'&', QLatin1String("&&")));

    QString tip = tr("Sends the text of hotkey F%1").arg(index + 1);
    if (m_hexData[index])
        tip += u'\n'
               + tr("Hex-Data: in hex mode the text is sent as the bytes its hex digits "
                    "give; in text mode it is sent as it is written.");
    b->setToolTip(caption + u'\n' + tip);
    // Its own prompt, not the bar's "Show/hide the hotkey bar".
    b->setStatusTip(tr("Sends the text of hotkey F%1").arg(index + 1));
}

QRect CHotKeyBar::buttonGeometry(int index, int barWidth, int rowHeight)
{
    const int w = (barWidth - 14) / 3;
    return {(index / 4) * (w + 4) + 4, (index % 4) * rowHeight + 4, w, rowHeight};
}

int CHotKeyBar::rowHeightForFont(int fontHeight)
{
    // A dialog unit is an eighth of the font height vertically; rounded as
    // dialog templates round it.
    return (13 * fontHeight + 4) / 8;
}

int CHotKeyBar::rowHeight() const
{
    return rowHeightForFont(fontMetrics().height());
}

QSize CHotKeyBar::sizeHint() const
{
    return {width() > 0 ? width() : 600, 4 * rowHeight() + 10};
}

QSize CHotKeyBar::minimumSizeHint() const
{
    // Each column keeps room for "F12: " and a few characters of the text.
    const int column = fontMetrics().horizontalAdvance(QStringLiteral("F12: MMMMMM"));
    return {3 * column + 14, 4 * rowHeight() + 10};
}

void CHotKeyBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void CHotKeyBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        layoutButtons();
    }
}

void CHotKeyBar::layoutButtons()
{
    // The width counts a border pixel on either side, so the third column
    // ends exactly at the bar's right edge.
    const int barWidth = width() + 2;
    const int h = rowHeight();
    for (int i = 0; i < kButtons; ++i) {
        m_buttons[i]->setGeometry(buttonGeometry(i, barWidth, h));
        showCaption(i);
    }
}
