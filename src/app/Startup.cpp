#include "Startup.h"

#include "display/RuKTerminalDoc.h"
#include "frame/MainFrame.h"

#include <QMetaObject>

bool takeAutomationSwitch(QStringList &arguments)
{
    const qsizetype before = arguments.size();
    // The program's own name comes first and is never a switch.
    for (qsizetype i = arguments.size() - 1; i >= 1; --i) {
        const QString &a = arguments[i];
        if (a.compare(QLatin1String("-Automation"), Qt::CaseInsensitive) == 0
            || a.compare(QLatin1String("/Automation"), Qt::CaseInsensitive) == 0)
            arguments.removeAt(i);
    }
    return arguments.size() != before;
}

bool startMainWindow(CMainFrame &frame, const StartupOptions &options)
{
    if (!options.documentPath.isEmpty() && !frame.document()->OnOpenDocument(options.documentPath))
        return false;
    frame.show();
    if (options.automation)
        frame.showMinimized();
    if (options.automation || options.startTerminal)
        QMetaObject::invokeMethod(&frame, &CMainFrame::OnTerminalStart, Qt::QueuedConnection);
    return true;
}
