#include "MainWindowIndicators.h"

#include <algorithm>

namespace indicators {

QString datePaneText(const LocalTime &t)
{
    return QString::asprintf("%02d.%02d.%04d", t.day, t.month, t.year);
}

QString timePaneText(const LocalTime &t)
{
    return QString::asprintf("%02d:%02d", t.hour, t.minute);
}

QString percentText(int blocksWritten, unsigned total)
{
    if (total == 0)
        return {};
    // The port's count starts again at each Write while the writer may still be
    // counting the blocks of the send before: a back-to-back send can report
    // more blocks than it queued. It never shows more than all of them.
    // 64-bit so that a huge transfer cannot overflow; the quotient is the same.
    const qint64 written = std::clamp<qint64>(blocksWritten, 0, total);
    const qint64 percent = written * 100 / qint64(total);
    return QStringLiteral("%1%").arg(percent);
}

int nextSendLedPosition(bool pending, int current)
{
    if (!pending)
        return 0;
    return current == 2 ? 1 : 2;
}

} // namespace indicators
