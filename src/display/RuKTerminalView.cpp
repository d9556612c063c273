#include "RuKTerminalView.h"

#include "display/DisplayModel.h"
#include "display/DisplayWidget.h"
#include "display/FindBar.h"

#include <QAction>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QFont displayFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}
} // namespace

CRuKTerminalView::CRuKTerminalView(CDisplayModel &model, const DisplaySettings &settings,
                                   QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_settings(settings)
    , m_display(new CDisplayWidget(model, this))
    , m_pFindBar(new CFindBar(m_display, this))
    , m_pFindAction(new QAction(tr("&Find..."), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_display);
    layout->addWidget(m_pFindBar);
    m_pFindAction->setObjectName(QStringLiteral("findAction"));
    m_pFindAction->setShortcut(QKeySequence::Find);
    m_pFindAction->setStatusTip(tr("Finds a text in the display"));
    connect(m_pFindAction, &QAction::triggered, m_pFindBar, &CFindBar::open);
    // Back at the end once the bar no longer holds the view on a match.
    connect(m_pFindBar, &CFindBar::closed, this, [this] { followEnd(); });
    connect(m_display, &CDisplayWidget::viewResized, this, [this] { followEnd(true); });
    // After the widget has taken the new text in.
    connect(&m_model, &CDisplayModel::appended, this, [this] { followEnd(); });
    m_display->setDisplayFont(displayFont());
    setFocusProxy(m_display);
    keepUsableWhenSmall();
}

void CRuKTerminalView::keepUsableWhenSmall()
{
    // However small the window is made, the display keeps a few lines and
    // columns of text; the window's minimum follows from it.
    constexpr int kMinDisplayLines = 6;
    constexpr int kMinDisplayColumns = 32;
    const QFontMetrics text(m_display->font());
    const int chrome = style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                       + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    setMinimumSize(text.horizontalAdvance(QLatin1Char('0')) * kMinDisplayColumns + chrome,
                   text.lineSpacing() * kMinDisplayLines + chrome);
}

CRuKTerminalView::~CRuKTerminalView() = default;

void CRuKTerminalView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    measureVisibleLines();
}

void CRuKTerminalView::keyPressEvent(QKeyEvent *event)
{
    // Escape in the display closes the find bar as it does in the bar.
    if (event->key() == Qt::Key_Escape && m_pFindBar->isVisible()) {
        m_pFindBar->close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CRuKTerminalView::measureVisibleLines()
{
    // Measured in the lines the display draws, not in the font's glyphs:
    // their extent is smaller than the line pitch in many fonts, and the
    // last line would then be partly under the lower edge.
    m_nVisibleLines = std::max(0, m_display->visibleLineCapacity() - 1);
}

void CRuKTerminalView::followEnd(bool fillView)
{
    if (!m_settings.autoScroll)
        return;
    if (m_pFindBar->showsMatch()) {
        m_pFindBar->noteAutoScrollWaits();
        return;
    }
    measureVisibleLines();
    const int caretLine = m_display->buffer().lineCount() - 1;
    const int first = m_display->firstVisibleLine();
    const int target = std::max(0, caretLine - m_nVisibleLines);
    if (caretLine > first + m_nVisibleLines || (fillView && caretLine >= first && first > target))
        m_display->scrollToLine(target);
}
