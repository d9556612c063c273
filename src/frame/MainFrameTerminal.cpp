// Starting and stopping a terminal run and dispatching what the ports report.
#include "MainFrame.h"

#include "display/ReceivedBlockQueue.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/LinkReport.h"
#include "input/InputEdit.h"
#include "platform/PortNotify.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "ports/PortEngine.h"
#include "transfer/FileSender.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QToolBar>

namespace {
// Received blocks are shown for at most this long, and this many bytes, at a
// time before the window gets to paint and handle input again (and the log
// file gets what the slice showed).
constexpr int kDisplaySliceMs = 12;
constexpr qsizetype kDisplaySliceBytes = 2 * 1024 * 1024;

bool isNetworkKind(int portKind)
{
    return portKind != 1 && portKind != 2;
}
} // namespace

CPortEngine *CMainFrame::currentPort() const
{
    return m_ports->port(m_settings.portKind);
}

void CMainFrame::showStartFailure(int stringId, const QString &reason)
{
    uiServices().beep();
    const QString text = loadString(stringId);
    uiServices().messageBox(reason.isEmpty() ? text : text + u'\n' + reason, QString(),
                            UiServices::Icon::Stop);
}

void CMainFrame::OnTerminalStart()
{
    m_settings.display.lineStartPending = true;
    m_triggers.resetMatches();

    CPortEngine *port = currentPort();
    if (m_bStarting)
        return; // a start already waits for its connection
    m_bStarting = true;
    updateStatusPanes(); // "waiting" while a server waits for its peer
    const bool opened = port && m_ports->open(m_settings, [this](const QString &peer) {
        m_settings.peerAddress = peer;
        emit stateChanged();
    });
    m_bStarting = false;
    if (m_bCloseAfterStart) {
        // The window was closed while the connection was awaited.
        m_bCloseAfterStart = false;
        if (port && port->IsOpen())
            port->Close();
        updateCommandStates();
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    if (!opened) {
        // A server whose wait the user cancelled needs no message.
        if (!(isNetworkKind(m_settings.portKind) && m_settings.address.isEmpty() && port))
            showStartFailure(StringId::OpenPortFailed,
                             openFailureReason(m_ports->lastOpenFailure()));
        updateCommandStates();
        return;
    }
    if (!port->Start()) {
        showStartFailure(StringId::StartPortFailed);
        updateCommandStates();
        return;
    }
    m_bRunning = true;
    m_nLinkLossesSeen = 0;
    m_bLinkDownReported = false;
    EnableInput(true);
    if (m_settings.display.hexMode)
        m_pHexInput->setFocus();
    else
        m_pTextInput->setFocus();
    updateCommandStates();
}

void CMainFrame::OnTerminalStop()
{
    stopRun(false);
}

void CMainFrame::stopRun(bool keepListening)
{
    // A file send ends with its run; what it queued goes with the port.
    m_pFileSender->abort();
    if (CPortEngine *port = currentPort(); port && port->IsOpen()) {
        if (keepListening)
            m_ports->closeKeepingListener(m_settings.portKind);
        else
            port->Close();
    }
    if (isNetworkKind(m_settings.portKind))
        m_settings.peerAddress = QLatin1String(TerminalSettings::kUnknownPeer);
    if (m_pView)
        ClearReceivedQueue();
    if (m_nSendProgressTotal != 0)
        hideSendProgress();
    m_bRunning = false;
    EnableInput(false);
    updateCommandStates();
}

void CMainFrame::OnPortNotify(int lParam)
{
    if (lParam == PortNotifyCode::NetLinkLost) {
        if (!m_bRunning)
            return; // stopped by the user meanwhile
        if (m_bShowingBlocks) {
            // Restart once the blocks on show are done.
            m_bRestartPending = true;
            return;
        }
        restartAfterPeerLeft();
        return;
    }
    if (lParam == PortNotifyCode::LinkStateChanged) {
        onLinkStateChanged();
        return;
    }
    if (lParam == PortNotifyCode::NotSent) {
        reportUnsent();
        return;
    }
    if (!m_pView) {
        CReceivedBlockQueue::instance().notificationDropped();
        return;
    }
    if (m_bShowingBlocks)
        return; // a dialog opened while showing a block; the outer call goes on
    showQueuedBlocks();
}

void CMainFrame::restartAfterPeerLeft()
{
    // What arrived before the link was lost is shown, not dropped.
    if (m_pView) {
        m_bShowingBlocks = true;
        while (m_pView->ShowNextReceivedBlock()) {
        }
        m_bShowingBlocks = false;
    }
    statusBar()->showMessage(linkreport::peerLeftMessage(m_settings.peerAddress));
    stopRun(true);
    OnTerminalStart();
    if (m_bRunning)
        statusBar()->showMessage(linkreport::peerConnectedMessage(m_settings.peerAddress));
}

void CMainFrame::onLinkStateChanged()
{
    updateStatusPanes();
    CPortEngine *port = currentPort();
    if (!m_bRunning || !port)
        return;
    // Read from the port, not from the notification: a loss that healed
    // before this was handled is reported all the same.
    if (const int losses = port->GetLinkLosses(); losses != m_nLinkLossesSeen) {
        m_nLinkLossesSeen = losses;
        m_bLinkDownReported = true;
        uiServices().beep();
        statusBar()->showMessage(linkreport::lostMessage(m_settings));
    }
    if (m_bLinkDownReported && port->GetLinkState() == LinkState::Connected) {
        m_bLinkDownReported = false;
        statusBar()->showMessage(linkreport::backMessage(m_settings));
    }
}

void CMainFrame::reportUnsent()
{
    CPortEngine *port = currentPort();
    UnsentReason reason = UnsentReason::LinkDown;
    const std::uint64_t bytes = port ? port->TakeUnsentBytes(&reason) : 0;
    if (bytes == 0)
        return; // told already
    uiServices().beep();
    statusBar()->showMessage(linkreport::notSentMessage(bytes, reason));
}

void CMainFrame::showQueuedBlocks()
{
    LightActivityLed(CommandId::ReceiveLed);
    m_bShowingBlocks = true;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    qsizetype shown = 0;
    while (more && slice.elapsed() < kDisplaySliceMs && shown < kDisplaySliceBytes)
        more = m_pView->ShowNextReceivedBlock(&shown);
    m_bShowingBlocks = false;
    if (more) // yield to painting and input, then go on
        QCoreApplication::postEvent(this, new PortNotifyEvent(0));
    if (m_bRestartPending) {
        m_bRestartPending = false;
        OnPortNotify(PortNotifyCode::NetLinkLost);
    }
}

void CMainFrame::EnableInput(bool enable)
{
    m_pTextInput->setEnabled(enable);
    m_pHexInput->setEnabled(enable);
    if (QAction *send = action(CommandId::SendCrLf))
        send->setEnabled(enable);
    m_pTextInput->clear();
}

void CMainFrame::ShowInputControl()
{
    const bool hex = m_settings.display.hexMode;
    // Widgets on a toolbar are shown and hidden through their actions.
    bool viaActions = false;
    if (m_pInputBar) {
        for (QAction *a : m_pInputBar->actions()) {
            QWidget *w = m_pInputBar->widgetForAction(a);
            if (w == m_pTextInput || w == m_pHexInput) {
                a->setVisible(w == m_pHexInput ? hex : !hex);
                viaActions = true;
            }
        }
    }
    if (!viaActions) {
        m_pTextInput->setVisible(!hex);
        m_pHexInput->setVisible(hex);
    }
}
