#include "Startup.h"

#include "display/DisplayModel.h"
#include "display/RuKTerminalDoc.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QMetaObject>

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("ORBA"));
    QCoreApplication::setApplicationName(QStringLiteral("ORBATerminal"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORBA_VERSION));
}

bool startMainWindow(CMainFrame &frame, const CommandLine &commandLine)
{
    applyCommandLine(commandLine, frame.settings());
    frame.terminal().display().setDashLogsToStandardOutput(commandLine.logPath
                                                           == QLatin1String("-"));
    // Through the commands, so that their check marks and the inputs follow.
    if (commandLine.timestamps && !frame.settings().display.timestampPerLine)
        frame.action(CommandId::Timestamp)->trigger();
    if (commandLine.hex && !frame.settings().display.hexMode)
        frame.action(CommandId::HexMode)->trigger();
    frame.updateStatusPanes();

    if (!commandLine.documentPath.isEmpty()
        && !frame.document()->OnOpenDocument(commandLine.documentPath))
        return false;
    frame.show();
    if (commandLine.automation)
        frame.showMinimized();
    if (commandLine.startsTerminal())
        QMetaObject::invokeMethod(&frame, &CMainFrame::OnTerminalStart, Qt::QueuedConnection);
    return true;
}
