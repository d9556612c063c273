#pragma once

#include <QString>

struct CommandLine;

// A start that needs no window: the help, the version, a mistake on the
// command line (one line on standard error, status 2) or a run without a
// window. Needs a QCoreApplication; returns the exit status.
//
// A run without a window runs the terminal as the INI file and the command
// line say: what arrives goes to the log (standard output unless a log file
// is set), every change of the link and everything the window would show in
// its status bar or a box goes to standard error as one line with the time.
// Links heal as in the window. SIGINT and SIGTERM end it with everything
// written (status 0); a link that cannot be opened at the start ends it with
// status 1.
int runWithoutWindow(const CommandLine &commandLine, const QString &programName);
