#pragma once

#include <QWidget>

class CTerminal;
class QAction;
class QLabel;
class QToolButton;

// The modem lines of a running serial link beside the send and receive
// indicators: CTS, DSR, DCD and RI lit green while up (or "not available"
// for a device without them), and the DTR and RTS switches for the lines the
// handshake leaves alone. Hidden for network and USB links and while stopped.
// Its commands (DTR, RTS, Send break) also stand in the Terminal menu.
class CModemLamps final : public QWidget
{
    Q_OBJECT
public:
    CModemLamps(CTerminal &terminal, QWidget *parent);

    QAction *dtrAction() const { return m_pDtr; }
    QAction *rtsAction() const { return m_pRts; }
    QAction *breakAction() const { return m_pBreak; }

    // Lamps, switches and commands as the terminal's lines are now.
    void update();

private:
    QAction *makeSwitch(const QString &text, int bit);

    CTerminal &m_terminal;
    QLabel *m_lamps[4] = {};
    QLabel *m_pAbsent;
    QAction *m_pDtr;
    QAction *m_pRts;
    QAction *m_pBreak;
    QToolButton *m_switches[2] = {};
};
