#include "LogStatusPane.h"

#include <QDir>
#include <QStatusBar>

CLogStatusPane::CLogStatusPane(QStatusBar *bar)
    : QLabel(bar)
    , m_bar(bar)
{
    setObjectName(QStringLiteral("paneLog"));
    setText(tr("Log not written"));
    // Red on the bar's own background: readable, and hard to miss.
    setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    hide();
}

void CLogStatusPane::showStatus(const CLogWriter::Status &status)
{
    const QString path = QDir::toNativeSeparators(status.path);
    if (status.failing) {
        m_message = tr("The log file %1 cannot be written: %2.")
                        .arg(path, CLogWriter::describe(status.error));
        setToolTip(m_message);
        show();
        m_bar->showMessage(m_message);
        return;
    }
    hide();
    setToolTip(QString());
    if (status.dismissed) {
        // Logging was switched off: the fault no longer matters.
        if (m_bar->currentMessage() == m_message)
            m_bar->clearMessage();
        return;
    }
    m_message = tr("The log file %1 is written again; %2 bytes could not be logged.")
                    .arg(path)
                    .arg(status.lost);
    m_bar->showMessage(m_message);
}
