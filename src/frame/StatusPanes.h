#pragma once

#include <QObject>

class CDisplayModel;
class CTerminal;
class QLabel;
class QStatusBar;

// The panes of the status bar: the idle text, date, time, the port in use,
// the state of its link, and the mark of a log that cannot be written.
class CStatusPanes final : public QObject
{
    Q_OBJECT
public:
    CStatusPanes(QStatusBar *bar, const CTerminal &terminal);

    // Date and time, the port and the link state as they are now.
    void update();

private:
    const CTerminal &m_terminal;
    QLabel *m_pPaneDate;
    QLabel *m_pPaneTime;
    QLabel *m_pPanePort;
    QLabel *m_pPaneLink;
};
