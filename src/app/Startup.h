#pragma once

#include "app/CommandLine.h"

class CMainFrame;

// The names the program goes by (settings, version, the desktop's file).
void nameApplication();

// Puts the command line's link, line settings, log and display switches into
// the window's terminal for this run, shows the named document and the
// window; with automation the window goes minimized (into the notification
// area where there is one) and the terminal starts as soon as the event loop
// runs; with --start or a link it starts then too, the window staying as it
// is. False when the named document could not be opened: its message is shown
// and the program ends.
bool startMainWindow(CMainFrame &frame, const CommandLine &commandLine);
