#include "SysfsText.h"

#include <QFile>

QString readSysfsText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Device strings come from the device itself: anything that is not UTF-8
    // is shown as replacement characters instead of being guessed.
    return QString::fromUtf8(file.read(4096)).trimmed();
}
