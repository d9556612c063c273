#include "RecentFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>

namespace {
QString shortenedPath(const QString &path)
{
    // Long paths keep their start and their file name.
    const QString native = QDir::toNativeSeparators(path);
    constexpr qsizetype kMax = 60;
    if (native.size() <= kMax)
        return native;
    return native.left(20) + QStringLiteral("...") + native.right(kMax - 23);
}
} // namespace

void showRecentFiles(const QList<QAction *> &entries, const QStringList &files)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QAction *a = entries[i];
        if (i < files.size()) {
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shortenedPath(files[i])));
            a->setToolTip(QDir::toNativeSeparators(files[i]));
            a->setEnabled(true);
            a->setVisible(true);
        } else {
            a->setText(QCoreApplication::translate("CMainFrame", "Recent file"));
            a->setEnabled(false);
            a->setVisible(i == 0);
        }
    }
}
