#pragma once

#include <QList>
#include <QStringList>

class QAction;

// Fills the recent-file entries of the File menu from `files`, most recent
// first; an empty list keeps its greyed placeholder.
void showRecentFiles(const QList<QAction *> &entries, const QStringList &files);
