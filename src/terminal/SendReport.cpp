#include "SendReport.h"

#include "display/CharacterMapping.h"

#include <QCoreApplication>

#include <algorithm>

namespace sendreport {

namespace {
QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

SendFraming::Options framingOptions(const SendSettings &s)
{
    return {s.framing, SendFraming::lineEnd(s.lineEnd),
            static_cast<checksum::Kind>(std::clamp(s.checksum, 0, checksum::kKinds - 1)),
            s.checksumText};
}

QString portPaneNote(const SendSettings &s)
{
    return s.framing ? QString() : QCoreApplication::translate("SendReport", "no STX/ETX");
}

QString summary(const SendSettings &s)
{
    if (s == SendSettings())
        return {};
    QStringList parts;
    parts << (s.framing ? QCoreApplication::translate("SendReport", "framed by STX and ETX")
                        : QCoreApplication::translate("SendReport", "without STX and ETX"));
    parts << QCoreApplication::translate("SendReport", "line end %1")
                 .arg(SendFraming::lineEndName(s.lineEnd));
    if (s.checksum != 0)
        parts << QCoreApplication::translate("SendReport", "checksum %1")
                     .arg(checksum::name(framingOptions(s).checksum));
    if (s.charDelayMs > 0)
        parts << QCoreApplication::translate("SendReport", "%1 ms between two bytes")
                     .arg(s.charDelayMs);
    if (s.lineDelayMs > 0)
        parts << QCoreApplication::translate("SendReport", "%1 ms after each send")
                     .arg(s.lineDelayMs);
    return QCoreApplication::translate("SendReport", "Sending: %1 (Settings > Send options...).")
        .arg(parts.join(QStringLiteral(", ")));
}

QString examples(const SendSettings &s)
{
    const SendFraming::Options options = framingOptions(s);
    const QByteArray typed = SendFraming::inputText("AT", true, false, CharMapTable(), options);
    const QByteArray request("\x01\x03\x00\x00\x00\x01", 6);
    return QCoreApplication::translate("SendReport",
                                       "AT and Enter send: %1\nThe hex input %2 sends: %3")
        .arg(hex(typed), hex(request), hex(SendFraming::hexInput(request, options)));
}

} // namespace sendreport
