#pragma once

#include <QIcon>

// The icon of a toolbar command, also shown beside its menu item: the desktop
// theme's icon where the theme has one, else the program's own drawing. Null
// for commands without an icon.
QIcon commandIcon(int commandId);
