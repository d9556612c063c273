// The status bar, the hotkey bar and the 500 ms refresh that drives the
// indicators while they have something to show.
#include "MainFrame.h"

#include "frame/CommandIds.h"
#include "frame/InputBar.h"
#include "frame/StatusPanes.h"
#include "input/HotKeyBar.h"
#include "platform/ProfileFile.h"
#include "platform/StringTable.h"

#include <QStatusBar>
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
}

void CMainFrame::OnRefreshTimer()
{
    m_pInputBar->refresh();
}
