#include "InputBar.h"

#include "dialogs/ProgramIcons.h"
#include "frame/CommandIds.h"
#include "frame/MainWindowIndicators.h"
#include "frame/ModemLamps.h"
#include "input/HexEdit.h"
#include "input/InputEdit.h"
#include "platform/StringTable.h"
#include "terminal/Terminal.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {
// The progress bar's range for transfers counted in bytes or many blocks.
constexpr int kProgressScale = 10000;

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
} // namespace

CInputBar::CInputBar(CTerminal &terminal, QAction *sendCrLf, QWidget *parent)
    : QToolBar(tr("Input bar"), parent)
    , m_terminal(terminal)
    , m_pRefreshTimer(new QTimer(this))
    , m_pTextInput(new CInputEdit(this))
    , m_pHexEdit(new CHexEdit(this))
{
    setObjectName(QStringLiteral("inputBar"));
    setMovable(false);

    m_pTextInput->setStatusTip(commandPrompt(CommandId::TextInput));
    m_pTextInput->setToolTip(commandToolTip(CommandId::TextInput));
    connect(m_pTextInput, &CInputEdit::enterPressed, this, [sendCrLf] {
        if (sendCrLf->isEnabled())
            sendCrLf->trigger();
    });
    connect(m_pTextInput, &CInputEdit::linesPasted, this, [this](int lines) {
        emit statusMessage(
            tr("%n lines in the input: each is sent as a text of its own, empty ones not at all.",
               nullptr, lines));
    });
    // The hex input takes the same place; only one of the two is shown.
    m_pHexEdit->setObjectName(QStringLiteral("hexInput"));
    m_pHexEdit->SetBytesPerRow(16);
    m_pHexEdit->SetOptions(false, true, false, false);
    const std::uint8_t zero = 0;
    m_pHexEdit->SetData(&zero, 1);
    connect(m_pHexEdit, &CHexEdit::enterPressed, this, &CInputBar::hexEnterPressed);
    m_pHexEdit->setFixedHeight(m_pTextInput->height());
    addWidget(m_pTextInput);
    addWidget(m_pHexEdit);

    // The default button of the bar: never shown, it stands for Enter.
    auto *defaultButton = new QToolButton(this);
    defaultButton->setObjectName(QStringLiteral("defaultButton"));
    defaultButton->setDefaultAction(sendCrLf);
    defaultButton->hide();

    auto *indicators = new QWidget(this);
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
    // The modem lines beside the send and receive indicators.
    m_pLamps = new CModemLamps(terminal, indicators);
    grid->addWidget(m_pLamps, 0, 4, 2, 1);
    addWidget(indicators);
    hideSendProgress();

    m_pRefreshTimer->setObjectName(QStringLiteral("refreshTimer"));
    m_pRefreshTimer->setInterval(500);
    connect(m_pRefreshTimer, &QTimer::timeout, this, &CInputBar::refresh);
    connect(&terminal, &CTerminal::activity, this, [this](CTerminal::Led led) {
        (led == CTerminal::Led::Send ? m_pSendLed : m_pReceiveLed)->setValue(2);
        wakeRefresh();
    });
    connect(&terminal, &CTerminal::sendProgressStarted, this, &CInputBar::startSendProgress);
    connect(&terminal, &CTerminal::transferProgress, this, &CInputBar::showTransferProgress);
    connect(&terminal, &CTerminal::transferProgressEnded, this, [this] {
        if (isProgressShown() && m_nSendProgressTotal == 0)
            hideSendProgress();
    });
    connect(&terminal, &CTerminal::stopped, this, [this] {
        if (m_nSendProgressTotal != 0)
            hideSendProgress();
    });
}

void CInputBar::wakeRefresh()
{
    if (!m_pRefreshTimer->isActive())
        m_pRefreshTimer->start();
}

void CInputBar::showInput(bool hex)
{
    // Widgets on a toolbar are shown and hidden through their actions.
    for (QAction *a : actions()) {
        QWidget *w = widgetForAction(a);
        if (w == m_pTextInput || w == m_pHexEdit)
            a->setVisible(w == m_pHexEdit ? hex : !hex);
    }
}

void CInputBar::enableInputs(bool enable)
{
    m_pTextInput->setEnabled(enable);
    m_pHexEdit->setEnabled(enable);
    m_pTextInput->clear();
}

void CInputBar::lightSendLed()
{
    m_pSendLed->setValue(2);
    wakeRefresh();
}

void CInputBar::lightReceiveLed()
{
    m_pReceiveLed->setValue(2);
    wakeRefresh();
}

void CInputBar::startSendProgress(int blocks)
{
    if (blocks <= 0)
        return;
    m_pSendProgress->setRange(0, blocks);
    m_pSendProgress->setValue(0);
    m_pSendProgress->show();
    m_pSendPercent->setText(QStringLiteral("0%"));
    m_nSendProgressTotal = static_cast<unsigned>(blocks);
    wakeRefresh();
}

void CInputBar::showTransferProgress(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    done = std::clamp<qint64>(done, 0, total);
    m_nSendProgressTotal = 0; // not the port's block count: the refresh leaves it alone
    m_pSendProgress->setRange(0, kProgressScale);
    m_pSendProgress->setValue(static_cast<int>(done * kProgressScale / total));
    m_pSendProgress->show();
    m_pSendPercent->setText(QStringLiteral("%1%").arg(done * 100 / total));
}

void CInputBar::hideSendProgress()
{
    m_pSendProgress->hide();
    m_pSendPercent->clear();
    m_nSendProgressTotal = 0;
}

bool CInputBar::isProgressShown() const
{
    return !m_pSendProgress->isHidden();
}

void CInputBar::refresh()
{
    const bool running = m_terminal.isRunning();
    const bool pending = m_terminal.isWritePending();
    const int blocksWritten = m_terminal.blocksWritten();
    // A received block lights the receive indicator for at most one period.
    if (m_pReceiveLed->value() != 0)
        m_pReceiveLed->setValue(0);
    if (running && m_nSendProgressTotal != 0) {
        if (!pending) {
            hideSendProgress();
        } else {
            m_pSendProgress->setValue(std::min(blocksWritten, m_pSendProgress->maximum()));
            m_pSendPercent->setText(indicators::percentText(blocksWritten, m_nSendProgressTotal));
        }
    }
    const int target = indicators::nextSendLedPosition(pending, m_pSendLed->value());
    if (m_pSendLed->value() != target)
        m_pSendLed->setValue(target);
    // An idle link wakes nobody: the refresh sleeps until the next activity.
    if (!pending && m_pSendLed->value() == 0 && !(running && m_nSendProgressTotal != 0))
        m_pRefreshTimer->stop();
    emit refreshed();
}
