#include "StatusPanes.h"

#include "display/DisplayModel.h"
#include "frame/LogStatusPane.h"
#include "frame/MainWindowIndicators.h"
#include "platform/Clock.h"
#include "platform/StringTable.h"
#include "terminal/LinkReport.h"
#include "terminal/SendReport.h"
#include "terminal/Terminal.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace {
QLabel *makePane(const QString &name, int stringId, QWidget *parent)
{
    auto *pane = new QLabel(loadString(stringId), parent);
    pane->setObjectName(name);
    // As wide as its text, always.
    pane->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return pane;
}
} // namespace

CStatusPanes::CStatusPanes(QStatusBar *bar, CTerminal &terminal)
    : QObject(bar)
    , m_terminal(terminal)
    , m_pPaneDate(makePane(QStringLiteral("paneDate"), StringId::PaneDate, bar))
    , m_pPaneTime(makePane(QStringLiteral("paneTime"), StringId::PaneTime, bar))
    , m_pPanePort(makePane(QStringLiteral("panePort"), StringId::PanePort, bar))
    , m_pPaneLink(new QLabel(bar))
    , m_pPaneCounters(new QLabel(bar))
{
    bar->setObjectName(QStringLiteral("statusBar"));
    // The idle text; the bar hides it while a command's prompt is shown.
    auto *ready = new QLabel(loadString(StringId::Ready), bar);
    ready->setObjectName(QStringLiteral("paneMessage"));
    // Where the bar writes a prompt, so the text does not jump when one goes.
    ready->setIndent(3);
    bar->addWidget(ready, 1);
    bar->addPermanentWidget(m_pPaneDate);
    bar->addPermanentWidget(m_pPaneTime);
    bar->addPermanentWidget(m_pPanePort);
    // The state of the link, beside the port it belongs to.
    m_pPaneLink->setObjectName(QStringLiteral("paneLinkState"));
    m_pPaneLink->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_pPaneLink->hide();
    bar->addPermanentWidget(m_pPaneLink);
    m_pPaneCounters->setObjectName(QStringLiteral("paneCounters"));
    m_pPaneCounters->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    bar->addPermanentWidget(m_pPaneCounters);
    m_counterTimer.setInterval(500);
    connect(&m_counterTimer, &QTimer::timeout, this, &CStatusPanes::updateCounters);
    const auto follow = [this] {
        updateCounters();
        m_counterTimer.start();
    };
    connect(&terminal, &CTerminal::activity, this, [this, follow] {
        if (!m_counterTimer.isActive())
            follow();
    });
    connect(&terminal, &CTerminal::started, this, follow);
    connect(&terminal, &CTerminal::stopped, this, &CStatusPanes::updateCounters);
    updateCounters();
    auto *log = new CLogStatusPane(bar);
    bar->addPermanentWidget(log);
    log->hide();
    connect(&terminal.display(), &CDisplayModel::logStatusChanged, log,
            &CLogStatusPane::showStatus);
}

void CStatusPanes::update()
{
    const LocalTime now = currentLocalTime();
    m_pPaneDate->setText(indicators::datePaneText(now));
    m_pPaneTime->setText(indicators::timePaneText(now));
    // Framing off is said where the port is, so nobody wonders why a device ignores the texts.
    const SendSettings &send = m_terminal.settings().send;
    const QString note = sendreport::portPaneNote(send);
    m_pPanePort->setText(linkreport::portText(m_terminal.settings())
                         + (note.isEmpty() ? QString() : QStringLiteral(", ") + note));
    m_pPanePort->setToolTip(sendreport::summary(send));

    const LinkState state = m_terminal.shownLinkState();
    const HandshakeHold hold = m_terminal.handshakeHold();
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

QString CStatusPanes::countersText(std::uint64_t received, std::uint64_t sent, double rate)
{
    const QLocale locale;
    const QString perSecond = rate >= 1e6   ? tr("%1 MB/s").arg(locale.toString(rate / 1e6, 'f', 1))
                              : rate >= 1e3 ? tr("%1 kB/s").arg(locale.toString(rate / 1e3, 'f', 1))
                                            : tr("%1 B/s").arg(locale.toString(qRound(rate)));
    return tr("Rx %1  Tx %2  %3")
        .arg(locale.toString(qulonglong(received)), locale.toString(qulonglong(sent)), perSecond);
}

void CStatusPanes::updateCounters()
{
    const CTerminal::Counters c = m_terminal.counters();
    m_pPaneCounters->setText(countersText(c.received, c.sent, c.receiveRate));
    const QLocale locale;
    m_pPaneCounters->setToolTip(tr("Since the program started: %1 bytes received, %2 bytes sent")
                                    .arg(locale.toString(qulonglong(c.totalReceived)),
                                         locale.toString(qulonglong(c.totalSent))));
    // Rests once nothing moved for a whole rate period: the rate is 0 then.
    const bool moved = c.received != m_shownReceived || c.sent != m_shownSent;
    m_shownReceived = c.received;
    m_shownSent = c.sent;
    if (!moved && c.receiveRate == 0)
        m_counterTimer.stop();
}
