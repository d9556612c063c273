// The terminal's run: settings, start and stop, what the ports report and the
// path of a received block.
#include "Terminal.h"

#include "display/DisplayModel.h"
#include "platform/PortNotify.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"
#include "ports/ComPort.h"
#include "ports/PortEngine.h"
#include "ports/ReceivedBlockQueue.h"
#include "settings/ConfigStore.h"
#include "terminal/LinkReport.h"
#include "transfer/FileSender.h"
#include "transfer/PrinterFileReceiver.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

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

CTerminal::CTerminal(const QString &iniPath, std::unique_ptr<CTerminalPorts> ports, QObject *parent)
    : QObject(parent)
    , m_strIniPath(iniPath)
    , m_ports(ports ? std::move(ports) : createDefaultTerminalPorts())
    , m_pDisplay(new CDisplayModel(m_settings.display, m_charMap, this))
{
    setObjectName(QStringLiteral("terminal"));
    createFileTransfer();
    setPortNotifyTarget(this, true);
}

CTerminal::~CTerminal()
{
    setPortNotifyTarget(nullptr, false);
    if (CPortEngine *port = currentPort(); port && port->IsOpen())
        port->Close();
    // The display goes with the terminal; its blocks must not outlive it.
    CReceivedBlockQueue::instance().clear();
}

bool CTerminal::LoadSettings()
{
    const bool useKeyBar
        = ConfigStore::readSettings(m_strIniPath, m_settings, m_charMap, m_hotKeyCaptions);
    emit hotKeyCaptionsChanged();
    PrepareReceiveTriggers();
    emit stateChanged();
    emit linkStateChanged();
    return useKeyBar;
}

void CTerminal::reloadHotKeyCaptions()
{
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i)
        m_hotKeyCaptions[i] = ConfigStore::hotKeyCaption(m_strIniPath, i);
    emit hotKeyCaptionsChanged();
}

void CTerminal::setHexMode(bool on)
{
    m_settings.display.hexMode = on;
    m_pDisplay->clear();
    emit stateChanged();
}

CPortEngine *CTerminal::currentPort() const
{
    return m_ports->port(m_settings.portKind);
}

void CTerminal::setConnectionWait(CConnectionWait *wait)
{
    m_ports->setConnectionWait(wait);
}

LinkState CTerminal::shownLinkState() const
{
    const CPortEngine *port = currentPort();
    return linkreport::shownState(m_bRunning, m_bStarting,
                                  port ? port->GetLinkState() : LinkState::Idle);
}

HandshakeHold CTerminal::handshakeHold() const
{
    const CPortEngine *port = currentPort();
    return shownLinkState() == LinkState::Connected && port ? port->GetHandshakeHold()
                                                            : HandshakeHold::None;
}

void CTerminal::showStartFailure(int stringId, const QString &reason)
{
    uiServices().beep();
    const QString text = loadString(stringId);
    uiServices().messageBox(reason.isEmpty() ? text : text + u'\n' + reason, QString(),
                            UiServices::Icon::Stop);
}

void CTerminal::OnTerminalStart()
{
    m_pDisplay->setLineStartPending(true);
    m_triggers.resetMatches();

    CPortEngine *port = currentPort();
    if (m_bStarting)
        return; // a start already waits for its connection
    if (!m_bRunning)
        startCounters();
    if (auto *serial = dynamic_cast<CComPort *>(port))
        serial->AnnounceModemLines(true);
    bool opened = false;
    {
        QScopedValueRollback starting(m_bStarting, true);
        emit linkStateChanged(); // "waiting" while a server waits for its peer
        opened = port && m_ports->open(m_settings, [this](const QString &peer) {
            m_settings.peerAddress = peer;
            emit linkStateChanged();
        });
    }
    if (m_bAbortStart) {
        // Given up while the connection was awaited (the window closes).
        m_bAbortStart = false;
        if (port && port->IsOpen())
            port->Close();
        emit stateChanged();
        return;
    }
    if (!opened) {
        // A server whose wait the user cancelled needs no message.
        if (!(isNetworkKind(m_settings.portKind) && m_settings.address.isEmpty() && port))
            showStartFailure(StringId::OpenPortFailed,
                             openFailureReason(m_ports->lastOpenFailure()));
        emit stateChanged();
        return;
    }
    if (!port->Start()) {
        showStartFailure(StringId::StartPortFailed);
        emit stateChanged();
        return;
    }
    m_bRunning = true;
    m_nLinkLossesSeen = 0;
    m_bLinkDownReported = false;
    m_bLineStartDue = false;
    emit started();
    emit stateChanged();
    emit linkStateChanged();
    emit modemLinesChanged();
}

void CTerminal::abortStart()
{
    if (!m_bStarting)
        return;
    m_bAbortStart = true;
    if (CPortEngine *port = currentPort())
        port->Close();
}

void CTerminal::OnTerminalStop()
{
    stopRun(false);
}

void CTerminal::finishRun()
{
    if (m_bRunning) {
        // Shown first, the queue makes room for what the reader holds; once
        // the port is closed, nothing more comes.
        showAllQueuedBlocks();
        if (CPortEngine *port = currentPort(); port && port->IsOpen())
            port->Close();
        showAllQueuedBlocks();
        stopRun(false);
    }
    m_pDisplay->flushLog();
}

void CTerminal::stopRun(bool keepListening)
{
    // A file send ends with its run; what it queued goes with the port, and
    // what was typed meanwhile, held back behind it, is told as not sent.
    const qsizetype heldBack = m_pFileSender->abort();
    if (CPortEngine *port = currentPort(); port && port->IsOpen()) {
        if (keepListening)
            m_ports->closeKeepingListener(m_settings.portKind);
        else
            port->Close();
    }
    if (heldBack > 0)
        tellNotSent(static_cast<std::uint64_t>(heldBack),
                    keepListening ? UnsentReason::LinkDown : UnsentReason::NotStarted);
    if (isNetworkKind(m_settings.portKind))
        m_settings.peerAddress = QLatin1String(TerminalSettings::kUnknownPeer);
    CReceivedBlockQueue::instance().clear();
    m_bRunning = false;
    emit stopped();
    emit stateChanged();
    emit linkStateChanged();
    emit modemLinesChanged();
}

bool CTerminal::event(QEvent *event)
{
    if (const PortNotifyEvent *notify = PortNotifyEvent::from(event)) {
        OnPortNotify(notify->lParam());
        return true;
    }
    return QObject::event(event);
}

void CTerminal::OnPortNotify(int lParam)
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
    if (lParam == PortNotifyCode::ModemLinesChanged) {
        emit modemLinesChanged();
        emit linkStateChanged(); // what the handshake waits for follows the lines
        return;
    }
    if (lParam == PortNotifyCode::BreakDone) {
        onBreakDone();
        return;
    }
    if (m_bShowingBlocks)
        return; // a dialog opened while showing a block; the outer call goes on
    showQueuedBlocks();
}

void CTerminal::restartAfterPeerLeft()
{
    // What arrived before the link was lost is shown, not dropped.
    showAllQueuedBlocks();
    emit statusMessage(linkreport::peerLeftMessage(m_settings.peerAddress));
    stopRun(true);
    OnTerminalStart();
    if (m_bRunning)
        emit statusMessage(linkreport::peerConnectedMessage(m_settings.peerAddress));
}

void CTerminal::onLinkStateChanged()
{
    // Read before the observers look, so "back" is never told ahead of the
    // state they show when the port heals meanwhile.
    CPortEngine *port = currentPort();
    const LinkState portState = port ? port->GetLinkState() : LinkState::Idle;
    emit linkStateChanged();
    if (!m_bRunning || !port)
        return;
    // Read from the port, not from the notification: a loss that healed
    // before this was handled is reported all the same.
    if (const int losses = port->GetLinkLosses(); losses != m_nLinkLossesSeen) {
        m_nLinkLossesSeen = losses;
        m_bLinkDownReported = true;
        uiServices().beep();
        emit statusMessage(linkreport::lostMessage(m_settings, port->LinkName()));
        m_bLineStartDue = true;
        startLineIfDue();
    }
    if (m_bLinkDownReported && portState == LinkState::Connected) {
        m_bLinkDownReported = false;
        emit statusMessage(linkreport::backMessage(m_settings, port->LinkName()));
    }
}

void CTerminal::startLineIfDue()
{
    // While the link is down nothing new is queued, so an empty queue means
    // everything from before the loss is on the display.
    if (!m_bLineStartDue || CReceivedBlockQueue::instance().queuedBlocks() != 0)
        return;
    m_bLineStartDue = false;
    m_pDisplay->setLineStartPending(true);
}

void CTerminal::reportUnsent()
{
    CPortEngine *port = currentPort();
    UnsentReason reason = UnsentReason::LinkDown;
    const std::uint64_t bytes = port ? port->TakeUnsentBytes(&reason) : 0;
    if (bytes != 0) // else told already
        tellNotSent(bytes, reason);
}

void CTerminal::tellNotSent(std::uint64_t bytes, UnsentReason reason)
{
    uiServices().beep();
    emit statusMessage(linkreport::notSentMessage(bytes, reason));
}

void CTerminal::showQueuedBlocks()
{
    emit activity(Led::Receive);
    bool more = true;
    {
        QScopedValueRollback showing(m_bShowingBlocks, true);
        QElapsedTimer slice;
        slice.start();
        qsizetype shown = 0;
        QByteArray block;
        while (slice.elapsed() < kDisplaySliceMs && shown < kDisplaySliceBytes) {
            if (!CReceivedBlockQueue::instance().takeNext(block)) {
                more = false;
                break;
            }
            shown += block.size();
            showReceivedBlock(block);
        }
    }
    startLineIfDue();
    if (more) // yield to painting and input, then go on
        QCoreApplication::postEvent(this, new PortNotifyEvent(PortNotifyCode::BlockQueued));
    if (m_bRestartPending) {
        m_bRestartPending = false;
        OnPortNotify(PortNotifyCode::NetLinkLost);
    }
}

void CTerminal::showAllQueuedBlocks()
{
    QScopedValueRollback showing(m_bShowingBlocks, true);
    QByteArray block;
    while (CReceivedBlockQueue::instance().takeNext(block))
        showReceivedBlock(block);
}

void CTerminal::showReceivedBlock(QByteArray block)
{
    if (block.isEmpty())
        return;
    auto *bytes = reinterpret_cast<std::uint8_t *>(block.data());
    const int length = static_cast<int>(block.size());
    // The printer receiver may mark the block before it is shown.
    if (IsPrinterReceptionActive())
        ReceivePrinterFileData(bytes, length);
    m_pDisplay->append(bytes, length, true);
    if (m_settings.display.autoReplyMask != 0)
        CheckReceiveTriggers(bytes, length);
}

void CTerminal::echoSent(const QByteArray &bytes)
{
    m_pDisplay->append(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                       static_cast<int>(bytes.size()), false);
}
