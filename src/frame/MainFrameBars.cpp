// The input bar with its activity indicators and send progress, the status
// bar panes, the hotkey bar and the 500 ms refresh that drives them.
#include "MainFrame.h"

#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIcons.h"
#include "frame/CommandIds.h"
#include "frame/LinkReport.h"
#include "frame/LogStatusPane.h"
#include "frame/MainWindowIndicators.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "platform/StringTable.h"
#include "ports/PortEngine.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {
QProgressBar *makeLed(const QString &name, const QString &tip, QWidget *parent)
{
    // Three positions: dark, half and fully lit.
    auto *led = new QProgressBar(parent);
    led->setObjectName(name);
    led->setRange(0, 2);
    led->setValue(0);
    led->setTextVisible(false);
    led->setFixedSize(36, 10);
    led->setToolTip(tip);
    return led;
}

QLabel *makePicture(const QString &resource, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(bundledIcon(resource).pixmap(16, 16));
    return label;
}

QLabel *makePane(const QString &name, int stringId, QWidget *parent)
{
    auto *pane = new QLabel(loadString(stringId), parent);
    pane->setObjectName(name);
    // As wide as its text, always.
    pane->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return pane;
}
} // namespace

void CMainFrame::createInputBar()
{
    m_pInputBar = new QToolBar(tr("Input bar"), this);
    m_pInputBar->setObjectName(QStringLiteral("inputBar"));
    m_pInputBar->setMovable(false);

    m_pTextInput = new CInputEdit(m_pInputBar);
    m_pTextInput->setStatusTip(commandPrompt(CommandId::TextInput));
    m_pTextInput->setToolTip(commandToolTip(CommandId::TextInput));
    connect(m_pTextInput, &CInputEdit::enterPressed, this, [this] {
        if (QAction *send = action(CommandId::SendCrLf); send->isEnabled())
            send->trigger();
    });
    connect(m_pTextInput, &CInputEdit::linesPasted, this, [this](int lines) {
        statusBar()->showMessage(
            tr("%n lines in the input: each is sent as a text of its own, empty ones not at all.",
               nullptr, lines));
    });
    // The hex input takes the same place; only one of the two is shown.
    m_pHexInput = createHexInput(m_pInputBar);
    m_pHexInput->setFixedHeight(m_pTextInput->height());
    m_pInputBar->addWidget(m_pTextInput);
    m_pInputBar->addWidget(m_pHexInput);

    // The default button of the bar: never shown, it stands for Enter.
    auto *defaultButton = new QToolButton(m_pInputBar);
    defaultButton->setObjectName(QStringLiteral("defaultButton"));
    defaultButton->setDefaultAction(action(CommandId::SendCrLf));
    defaultButton->hide();

    auto *indicators = new QWidget(m_pInputBar);
    indicators->setObjectName(QStringLiteral("indicators"));
    // The text input takes the width that is left.
    indicators->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *grid = new QGridLayout(indicators);
    grid->setContentsMargins(8, 2, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(6);
    m_pSendLed = makeLed(QStringLiteral("sendLed"), tr("Send activity"), indicators);
    m_pReceiveLed = makeLed(QStringLiteral("receiveLed"), tr("Receive activity"), indicators);
    grid->addWidget(makePicture(QStringLiteral("led-send.svg"), indicators), 0, 0);
    grid->addWidget(m_pSendLed, 0, 1);
    grid->addWidget(makePicture(QStringLiteral("led-receive.svg"), indicators), 1, 0);
    grid->addWidget(m_pReceiveLed, 1, 1);

    m_pSendProgress = new QProgressBar(indicators);
    m_pSendProgress->setObjectName(QStringLiteral("sendProgress"));
    m_pSendProgress->setOrientation(Qt::Vertical);
    m_pSendProgress->setRange(0, 100);
    m_pSendProgress->setValue(0);
    m_pSendProgress->setTextVisible(false);
    m_pSendProgress->setFixedSize(10, m_pTextInput->height());
    m_pSendProgress->setToolTip(tr("Send progress"));
    // Hiding it must not move the percentage.
    QSizePolicy keep = m_pSendProgress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_pSendProgress->setSizePolicy(keep);
    grid->addWidget(m_pSendProgress, 0, 2, 2, 1);
    m_pSendPercent = new QLabel(indicators);
    m_pSendPercent->setObjectName(QStringLiteral("sendPercent"));
    m_pSendPercent->setMinimumWidth(
        m_pSendPercent->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    grid->addWidget(m_pSendPercent, 0, 3, 2, 1);
    m_pInputBar->addWidget(indicators);

    addToolBar(Qt::TopToolBarArea, m_pInputBar);
}

void CMainFrame::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    // The idle text; the bar hides it while a command's prompt is shown.
    auto *ready = new QLabel(loadString(StringId::Ready), bar);
    ready->setObjectName(QStringLiteral("paneMessage"));
    // Where the bar writes a prompt, so the text does not jump when one goes.
    ready->setIndent(3);
    bar->addWidget(ready, 1);
    m_pPaneDate = makePane(QStringLiteral("paneDate"), StringId::PaneDate, bar);
    m_pPaneTime = makePane(QStringLiteral("paneTime"), StringId::PaneTime, bar);
    m_pPanePort = makePane(QStringLiteral("panePort"), StringId::PanePort, bar);
    bar->addPermanentWidget(m_pPaneDate);
    bar->addPermanentWidget(m_pPaneTime);
    bar->addPermanentWidget(m_pPanePort);
    // The state of the link, beside the port it belongs to.
    m_pPaneLink = new QLabel(bar);
    m_pPaneLink->setObjectName(QStringLiteral("paneLinkState"));
    m_pPaneLink->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_pPaneLink->hide();
    bar->addPermanentWidget(m_pPaneLink);
    auto *log = new CLogStatusPane(bar);
    bar->addPermanentWidget(log);
    log->hide();
    connect(m_pView, &CRuKTerminalView::logStatusChanged, log, &CLogStatusPane::showStatus);
}

void CMainFrame::createHotKeyBar()
{
    m_pHotKeyToolBar = new QToolBar(tr("Hotkey bar"), this);
    m_pHotKeyToolBar->setObjectName(QStringLiteral("hotKeyBar"));
    m_pHotKeyToolBar->setMovable(false);
    m_pHotKeyToolBar->setStatusTip(commandPrompt(CommandId::ViewHotKeyBar));
    m_pHotKeyBar = new CHotKeyBar(m_pHotKeyToolBar);
    connect(m_pHotKeyBar, &CHotKeyBar::hotKeyClicked, this, &CMainFrame::FireHotKey);
    connect(this, &CMainFrame::hotKeyCaptionsChanged, this, &CMainFrame::refreshHotKeyBar);
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
    const profile::Snapshot ini(m_strIniPath);
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i)
        m_pHotKeyBar->setHotKey(
            i, m_hotKeyCaptions[i],
            ini.getInt(QStringLiteral("HotKeys"), QStringLiteral("HotKeyHex%1").arg(i), 0) != 0);
}

void CMainFrame::updateStatusPanes()
{
    if (!m_pPanePort)
        return; // still being built
    const LocalTime now = currentLocalTime();
    m_pPaneDate->setText(indicators::datePaneText(now));
    m_pPaneTime->setText(indicators::timePaneText(now));
    m_pPanePort->setText(indicators::portPaneText(m_settings));

    const CPortEngine *port = currentPort();
    const LinkState state = linkreport::shownState(m_bRunning, m_bStarting,
                                                   port ? port->GetLinkState() : LinkState::Idle);
    const HandshakeHold hold
        = state == LinkState::Connected && port ? port->GetHandshakeHold() : HandshakeHold::None;
    m_pPaneLink->setText(linkreport::stateText(state, hold));
    m_pPaneLink->setToolTip(linkreport::holdExplanation(hold));
    m_pPaneLink->setVisible(state != LinkState::Idle);
    // Colour only underlines the text: green stands, amber on the way, red gone.
    const char *colour = state == LinkState::Connected && hold == HandshakeHold::None ? "#1a7f37"
                         : state == LinkState::Lost                                   ? "#c62828"
                                                                                      : "#b26a00";
    const QString style
        = QStringLiteral("QLabel { color: %1; font-weight: bold; }").arg(QLatin1String(colour));
    if (m_pPaneLink->styleSheet() != style)
        m_pPaneLink->setStyleSheet(style);
}

void CMainFrame::LightActivityLed(int id)
{
    if (id == CommandId::SendLed)
        m_pSendLed->setValue(2);
    else if (id == CommandId::ReceiveLed)
        m_pReceiveLed->setValue(2);
}

void CMainFrame::StartSendProgress(int blocks)
{
    if (blocks <= 0)
        return;
    m_pSendProgress->setRange(0, blocks);
    m_pSendProgress->setValue(0);
    m_pSendProgress->show();
    m_pSendPercent->setText(QStringLiteral("0%"));
    m_nSendProgressTotal = static_cast<unsigned>(blocks);
}

void CMainFrame::hideSendProgress()
{
    m_pSendProgress->hide();
    m_pSendPercent->clear();
    m_nSendProgressTotal = 0;
}

void CMainFrame::OnRefreshTimer()
{
    // A received block lights the receive indicator for at most one period.
    if (m_pReceiveLed->value() != 0)
        m_pReceiveLed->setValue(0);

    CPortEngine *port = currentPort();
    const bool pending = m_bRunning && port && port->IsWritePending();
    if (m_bRunning && m_nSendProgressTotal != 0) {
        if (!pending) {
            hideSendProgress();
        } else {
            const int written = port->GetBlocksWritten();
            m_pSendProgress->setValue(std::min(written, m_pSendProgress->maximum()));
            m_pSendPercent->setText(indicators::percentText(written, m_nSendProgressTotal));
        }
    }
    const int target = indicators::nextSendLedPosition(pending, m_pSendLed->value());
    if (m_pSendLed->value() != target)
        m_pSendLed->setValue(target);
    updateStatusPanes();
}
