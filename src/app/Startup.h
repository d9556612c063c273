#pragma once

#include <QString>
#include <QStringList>

class CMainFrame;

// What the command line asks of a start.
struct StartupOptions
{
    QString iniPath;      // --ini FILE; empty: the default place
    QString documentPath; // a saved display to show
    bool automation = false;
    bool startTerminal = false; // --start: the terminal runs at once, the window shown
};

// Takes "-Automation" and "/Automation", in any letter case, out of
// `arguments`; true when one was there.
bool takeAutomationSwitch(QStringList &arguments);

// Shows the named document and the window; with automation the window goes
// minimized (into the notification area where there is one) and the terminal
// starts as soon as the event loop runs; with startTerminal it starts then too,
// the window staying as it is. False when the named document could
// not be opened: its message is shown and the program ends.
bool startMainWindow(CMainFrame &frame, const StartupOptions &options);
