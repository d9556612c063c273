#include "MainWindowIndicators.h"

#include <algorithm>

#include <QFileInfo>

namespace indicators {

namespace {
QChar letterAt(const char *letters, int index)
{
    const int count = static_cast<int>(qstrlen(letters));
    // A value no dialog writes still gets a visible mark instead of garbage.
    return index >= 0 && index < count ? QLatin1Char(letters[index]) : QLatin1Char('?');
}
} // namespace

QString datePaneText(const LocalTime &t)
{
    return QString::asprintf("%02d.%02d.%04d", t.day, t.month, t.year);
}

QString timePaneText(const LocalTime &t)
{
    return QString::asprintf("%02d:%02d", t.hour, t.minute);
}

QString portPaneText(const TerminalSettings &s)
{
    if (s.portKind == 1) {
        const QString port = s.comDevice.isEmpty() ? QStringLiteral("COM%1").arg(s.comPort)
                                                   : QFileInfo(s.comDevice).fileName();
        return QStringLiteral("%1,%2,%3,%4,%5,%6")
            .arg(port)
            .arg(s.baud)
            .arg(letterAt("NEO", s.parity))
            .arg(s.dataBits)
            .arg(s.stopBits)
            .arg(letterAt("-XHHH", s.protocol));
    }
    if (s.portKind == 2)
        return QStringLiteral("USB");
    const QString &address = s.address.isEmpty() ? s.peerAddress : s.address;
    return QStringLiteral("IP:%1, %2").arg(address).arg(s.portNumber);
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
