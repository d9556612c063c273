#pragma once

#include "display/LogWriter.h"

#include <QLabel>

class QStatusBar;

// The status bar pane that marks a log file that cannot be written. Hidden
// while the log works; each change is also told once in the status bar.
class CLogStatusPane final : public QLabel
{
    Q_OBJECT
public:
    explicit CLogStatusPane(QStatusBar *bar);

    void showStatus(const CLogWriter::Status &status);

private:
    QStatusBar *m_bar;
    QString m_message; // the last one shown in the bar
};
