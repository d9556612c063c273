#include "HotKeyBar.h"

#include "frame/MainFrame.h"

#include <QEvent>
#include <QPushButton>

CHotKeyBar::CHotKeyBar(CMainFrame *frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    setObjectName(QStringLiteral("hotKeyBarButtons"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (int i = 0; i < kButtons; ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("hotKey%1").arg(kFirstButtonId + i));
        // Keyboard focus stays in the inputs; the keys F1-F12 do the same.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setToolTip(tr("Sends the text of hotkey F%1").arg(i + 1));
        connect(b, &QPushButton::clicked, m_frame, [this, i] { m_frame->FireHotKey(i); });
        m_buttons[i] = b;
    }
    connect(m_frame, &CMainFrame::hotKeyCaptionsChanged, this, &CHotKeyBar::updateCaptions);
    updateCaptions();
}

void CHotKeyBar::updateCaptions()
{
    for (int i = 0; i < kButtons; ++i) {
        // "&" would turn the next character into a mnemonic.
        QString caption = m_frame->hotKeyCaption(i);
        m_buttons[i]->setText(caption.replace(u'&', QLatin1String("&&")));
    }
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
    return {3 * 40 + 14, 4 * rowHeight() + 10};
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
    for (int i = 0; i < kButtons; ++i)
        m_buttons[i]->setGeometry(buttonGeometry(i, barWidth, h));
}
