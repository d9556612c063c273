#pragma once

#include <QIcon>

// The program's own icon (window, tray, about box).
QIcon programIcon();

// One of the program's own drawings by file name ("led-send.svg").
QIcon bundledIcon(const QString &fileName);
