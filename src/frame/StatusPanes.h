#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

class CDisplayModel;
class CTerminal;
class QLabel;
class QStatusBar;

// The panes of the status bar: the idle text, date, time, the port in use,
// the state of its link, the bytes received and sent with the receive rate,
// and the mark of a log that cannot be written.
class CStatusPanes final : public QObject
{
    Q_OBJECT
public:
    CStatusPanes(QStatusBar *bar, CTerminal &terminal);

    // Date and time, the port and the link state as they are now.
    void update();
    // The counters as they are now; they follow the link every 500 ms while
    // bytes move, and rest while it is idle.
    void updateCounters();

    // "Rx 12,345  Tx 67  3.2 kB/s", in the user's language.
    static QString countersText(std::uint64_t received, std::uint64_t sent, double rate);

private:
    CTerminal &m_terminal;
    QLabel *m_pPaneDate;
    QLabel *m_pPaneTime;
    QLabel *m_pPanePort;
    QLabel *m_pPaneLink;
    QLabel *m_pPaneCounters;
    QTimer m_counterTimer;
    std::uint64_t m_shownReceived = ~std::uint64_t(0);
    std::uint64_t m_shownSent = 0;
};
