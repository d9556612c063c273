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

CStatusPanes::CStatusPanes(QStatusBar *bar, const CTerminal &terminal)
    : QObject(bar)
    , m_terminal(terminal)
    , m_pPaneDate(makePane(QStringLiteral("paneDate"), StringId::PaneDate, bar))
    , m_pPaneTime(makePane(QStringLiteral("paneTime"), StringId::PaneTime, bar))
    , m_pPanePort(makePane(QStringLiteral("panePort"), StringId::PanePort, bar))
    , m_pPaneLink(new QLabel(bar))
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
