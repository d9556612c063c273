// The status bar, the hotkey bar and the 500 ms refresh that drives the
// indicators while they have something to show.
#include "MainFrame.h"

#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/InputBar.h"
#include "frame/StatusPanes.h"
#include "input/HotKeyBar.h"
#include "platform/ProfileFile.h"
#include "platform/StringTable.h"

#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

void CMainFrame::createStatusBar()
{
    m_pPanes = new CStatusPanes(statusBar(), *m_pTerminal);
}

void CMainFrame::createHotKeyBar()
{
    m_pHotKeyToolBar = new QToolBar(tr("Hotkey bar"), this);
    m_pHotKeyToolBar->setObjectName(QStringLiteral("hotKeyBar"));
    m_pHotKeyToolBar->setMovable(false);
    m_pHotKeyToolBar->setStatusTip(commandPrompt(CommandId::ViewHotKeyBar));
    m_pHotKeyBar = new CHotKeyBar(m_pHotKeyToolBar);
    connect(m_pHotKeyBar, &CHotKeyBar::hotKeyClicked, this, &CMainFrame::FireHotKey);
    m_pHotKeyToolBar->addWidget(m_pHotKeyBar);
    addToolBar(Qt::BottomToolBarArea, m_pHotKeyToolBar);
    connect(m_pHotKeyToolBar, &QToolBar::visibilityChanged, this, &CMainFrame::updateBarChecks);
}

void CMainFrame::keepUsableWhenSmall()
{
    // However small the window is made, the display keeps a few lines and
    // columns of text; the input and hotkey bars keep their own minimum
    // widths, and the window's minimum follows from all of them.
    constexpr int kMinDisplayLines = 6;
    constexpr int kMinDisplayColumns = 32;
    const QFontMetrics text(m_pView->widget()->font());
    const int chrome = style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                       + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    m_pView->setMinimumSize(text.horizontalAdvance(QLatin1Char('0')) * kMinDisplayColumns + chrome,
                            text.lineSpacing() * kMinDisplayLines + chrome);
}

void CMainFrame::refreshHotKeyBar()
{
    // The hex flag only changes what the button's tool tip explains.
    const profile::Snapshot ini(iniPath());
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i)
        m_pHotKeyBar->setHotKey(
            i, m_pTerminal->hotKeyCaption(i),
            ini.getInt(QStringLiteral("HotKeys"), QStringLiteral("HotKeyHex%1").arg(i), 0) != 0);
}

void CMainFrame::updateStatusPanes()
{
    if (m_pPanes)
        m_pPanes->update();
}

void CMainFrame::LightActivityLed(int id)
{
    if (id == CommandId::SendLed)
        m_pInputBar->lightSendLed();
    else if (id == CommandId::ReceiveLed)
        m_pInputBar->lightReceiveLed();
    wakeRefresh();
}

void CMainFrame::wakeRefresh()
{
    if (m_pRefreshTimer && !m_pRefreshTimer->isActive())
        m_pRefreshTimer->start();
}

void CMainFrame::OnRefreshTimer()
{
    // An idle link wakes nobody: the refresh sleeps until the next activity.
    if (!m_pInputBar->refresh(isRunning(), m_pTerminal->isWritePending(),
                              m_pTerminal->blocksWritten()))
        m_pRefreshTimer->stop();
    updateStatusPanes();
}
