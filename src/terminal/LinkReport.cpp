#include "LinkReport.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace linkreport {

namespace {
QChar letterAt(const char *letters, int index)
{
    const int count = static_cast<int>(qstrlen(letters));
    // A value no dialog writes still gets a visible mark instead of garbage.
    return index >= 0 && index < count ? QLatin1Char(letters[index]) : QLatin1Char('?');
}

bool isSerialKind(const TerminalSettings &s)
{
    return s.portKind == 1 || s.portKind == 2;
}

// "COM1", "ttyUSB0", "USB", "192.168.0.1, 9100".
QString linkName(const TerminalSettings &s, const QString &device)
{
    if (!device.isEmpty())
        return device;
    if (s.portKind == 1)
        return s.comDevice.isEmpty() ? QStringLiteral("COM%1").arg(s.comPort)
                                     : QFileInfo(s.comDevice).fileName();
    if (s.portKind == 2)
        return QStringLiteral("USB");
    return portText(s);
}
} // namespace

QString portText(const TerminalSettings &s)
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

LinkState shownState(bool running, bool starting, LinkState portState)
{
    if (starting)
        return LinkState::Waiting;
    if (!running)
        return LinkState::Idle;
    return portState == LinkState::Idle ? LinkState::Connected : portState;
}

QString stateText(LinkState state)
{
    switch (state) {
    case LinkState::Idle:
        return {};
    case LinkState::Waiting:
        return QCoreApplication::translate("LinkReport", "waiting");
    case LinkState::Connected:
        return QCoreApplication::translate("LinkReport", "connected");
    case LinkState::Lost:
        return QCoreApplication::translate("LinkReport", "lost");
    case LinkState::Reconnecting:
        return QCoreApplication::translate("LinkReport", "reconnecting");
    }
    return {};
}

QString stateText(LinkState state, HandshakeHold hold)
{
    if (state != LinkState::Connected || hold == HandshakeHold::None)
        return stateText(state);
    return hold == HandshakeHold::Dsr
               ? QCoreApplication::translate("LinkReport", "waiting for DSR")
               : QCoreApplication::translate("LinkReport", "waiting for CTS");
}

QString holdExplanation(HandshakeHold hold)
{
    switch (hold) {
    case HandshakeHold::None:
        break;
    case HandshakeHold::Dsr:
        return QCoreApplication::translate(
            "LinkReport",
            "The handshake holds sending until the device raises DSR; what arrives is "
            "shown all the same. For a device, adapter or cable without DSR choose the "
            "protocol None, XOn/XOff or Hardware (RTS/CTS) in the port settings.");
    case HandshakeHold::Cts:
        return QCoreApplication::translate(
            "LinkReport",
            "The handshake holds sending until the device raises CTS; what arrives is "
            "shown all the same. For a device, adapter or cable without CTS choose the "
            "protocol None, XOn/XOff or Hardware (DTR/DTS) in the port settings.");
    }
    return {};
}

QString lostMessage(const TerminalSettings &settings, const QString &device)
{
    if (isSerialKind(settings))
        return QCoreApplication::translate("LinkReport",
                                           "%1 is gone; it is opened again once it is back.")
            .arg(linkName(settings, device));
    return QCoreApplication::translate("LinkReport",
                                       "Connection lost (%1); reconnecting every few seconds.")
        .arg(linkName(settings, device));
}

QString backMessage(const TerminalSettings &settings, const QString &device)
{
    if (isSerialKind(settings))
        return QCoreApplication::translate("LinkReport", "%1 is back and open again.")
            .arg(linkName(settings, device));
    return QCoreApplication::translate("LinkReport", "Connected again (%1).")
        .arg(linkName(settings, device));
}

QString peerLeftMessage(const QString &peer)
{
    return QCoreApplication::translate("LinkReport",
                                       "%1 closed the connection; waiting for the next one.")
        .arg(peer);
}

QString peerConnectedMessage(const QString &peer)
{
    return QCoreApplication::translate("LinkReport", "%1 connected.").arg(peer);
}

QString notSentMessage(std::uint64_t bytes, UnsentReason reason)
{
    const QString count = bytes == 1
                              ? QCoreApplication::translate("LinkReport", "1 byte")
                              : QCoreApplication::translate("LinkReport", "%1 bytes").arg(bytes);
    switch (reason) {
    case UnsentReason::WriteFailed:
        return QCoreApplication::translate("LinkReport",
                                           "Not sent: %1; the port did not take them in time.")
            .arg(count);
    case UnsentReason::NotStarted:
        return QCoreApplication::translate("LinkReport", "Not sent: %1; the terminal is stopped.")
            .arg(count);
    case UnsentReason::LinkDown:
        break;
    }
    return QCoreApplication::translate("LinkReport", "Not sent: %1; the link is down.").arg(count);
}

} // namespace linkreport
