#include "ModemLamps.h"

#include "platform/TtyIo.h"
#include "terminal/Terminal.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
const char *const kLampNames[4] = {"CTS", "DSR", "DCD", "RI"};

QString lampStyle(bool lit)
{
    // Colour only underlines the state: the tool tip says it in words.
    return lit ? QStringLiteral("QLabel { background: #2e7d32; color: white; padding: 0 3px; }")
               : QStringLiteral("QLabel { background: #d0d0d0; color: #505050; padding: 0 3px; }");
}
} // namespace

CModemLamps::CModemLamps(CTerminal &terminal, QWidget *parent)
    : QWidget(parent)
    , m_terminal(terminal)
    , m_pAbsent(new QLabel(tr("not available"), this))
    , m_pBreak(new QAction(tr("Send &break"), this))
{
    setObjectName(QStringLiteral("modemLamps"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 0, 0, 0);
    row->setSpacing(3);
    for (int i = 0; i < 4; ++i) {
        m_lamps[i] = new QLabel(QLatin1String(kLampNames[i]), this);
        m_lamps[i]->setObjectName(QStringLiteral("lamp") + QLatin1String(kLampNames[i]));
        row->addWidget(m_lamps[i]);
    }
    m_pAbsent->setObjectName(QStringLiteral("lampsAbsent"));
    m_pAbsent->setEnabled(false);
    m_pAbsent->setToolTip(tr("The device has no modem lines (a pseudo-terminal, some adapters)."));
    row->addWidget(m_pAbsent);
    m_pDtr = makeSwitch(QStringLiteral("&DTR"), ModemBits::Dtr);
    m_pRts = makeSwitch(QStringLiteral("&RTS"), ModemBits::Rts);
    for (int i = 0; i < 2; ++i) {
        m_switches[i] = new QToolButton(this);
        m_switches[i]->setDefaultAction(i == 0 ? m_pDtr : m_pRts);
        m_switches[i]->setAutoRaise(true);
        row->addWidget(m_switches[i]);
    }
    m_pBreak->setObjectName(QStringLiteral("sendBreak"));
    m_pBreak->setStatusTip(tr("Sends a break of 250 ms on the serial line"));
    connect(m_pBreak, &QAction::triggered, this, [this] { m_terminal.sendBreak(); });
    // The Terminal menu shows them from here.
    addActions({m_pDtr, m_pRts, m_pBreak});
    connect(&terminal, &CTerminal::modemLinesChanged, this, &CModemLamps::update);
    update();
}

QAction *CModemLamps::makeSwitch(const QString &text, int bit)
{
    auto *a = new QAction(text, this);
    a->setObjectName(QStringLiteral("switch") + QString(text).remove(u'&'));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, bit](bool up) {
        if (m_terminal.setModemLine(bit, up) != LineRequest::Done)
            update(); // the switch shows the line as it is
    });
    return a;
}

void CModemLamps::update()
{
    const bool serial = m_terminal.isSerialRunning();
    const ModemLineState lines = m_terminal.modemLines();
    const bool up[4] = {lines.cts, lines.dsr, lines.dcd, lines.ri};
    for (int i = 0; i < 4; ++i) {
        m_lamps[i]->setVisible(serial && lines.available);
        m_lamps[i]->setStyleSheet(lampStyle(up[i]));
        m_lamps[i]->setToolTip(QStringLiteral("%1: %2").arg(QLatin1String(kLampNames[i]),
                                                            up[i] ? tr("up") : tr("down")));
    }
    m_pAbsent->setVisible(serial && !lines.available);
    const int driven = m_terminal.drivenLines();
    const std::pair<QAction *, int> switches[]
        = {{m_pDtr, ModemBits::Dtr}, {m_pRts, ModemBits::Rts}};
    for (const auto &[action, bit] : switches) {
        const bool byHandshake = driven & bit;
        action->setEnabled(serial && lines.available && !byHandshake);
        action->setChecked(bit == ModemBits::Dtr ? lines.dtr : lines.rts);
        action->setToolTip(byHandshake ? tr("Driven by the handshake chosen in the port settings")
                                       : tr("Click to raise or drop the line"));
    }
    for (QToolButton *b : m_switches)
        b->setVisible(serial && lines.available);
    m_pBreak->setEnabled(serial);
    setVisible(serial);
}
