#include "PortSettingsForm.h"

#include "platform/ProfileFile.h"
#include "platform/SerialDeviceList.h"
#include "platform/UsbPrinterList.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int kComPorts = 8;

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A number field as the dialog reads it: the decimal number at its start,
// 0 for text that is none.
int number(const QString &text)
{
    return profile::parseLeadingInt(text);
}

} // namespace

CPortSettingsForm::CPortSettingsForm(const TerminalSettings &settings, const DeviceRoots &roots)
    : m_stored(settings)
    , m_roots(roots)
{
    buildComChoices({{QString(), m_stored.comPort, m_stored.comDevice.trimmed()}});
    buildUsbList();
}

QStringList CPortSettingsForm::baudRates()
{
    return {QStringLiteral("300"),    QStringLiteral("1200"),   QStringLiteral("2400"),
            QStringLiteral("4800"),   QStringLiteral("9600"),   QStringLiteral("19200"),
            QStringLiteral("38400"),  QStringLiteral("57600"),  QStringLiteral("115200"),
            QStringLiteral("230400"), QStringLiteral("460800"), QStringLiteral("921600")};
}

void CPortSettingsForm::buildComChoices(const QList<ComChoice> &keep)
{
    m_comChoices.clear();
    for (int n = 1; n <= kComPorts; ++n)
        m_comChoices.append({QStringLiteral("COM%1").arg(n), n, QString()});
    for (const SerialDeviceInfo &device : EnumSerialDevices(m_roots))
        m_comChoices.append({serialDeviceLabel(device), m_stored.comPort, device.path});

    for (const ComChoice &k : keep) {
        if (!comTextFor(k).isEmpty())
            continue;
        if (k.device.isEmpty()) {
            m_comChoices.append({QStringLiteral("COM%1").arg(k.comPort), k.comPort, QString()});
            continue;
        }
        // Stored or typed, and not among the devices present: listed all the
        // same, so that OK does not lose it.
        QString text = k.device;
        if (!QFileInfo::exists(k.device))
            text += u' ' + tr("(absent)");
        m_comChoices.append({text, m_stored.comPort, k.device});
    }
}

QString CPortSettingsForm::comTextFor(const ComChoice &choice) const
{
    for (const ComChoice &c : m_comChoices) {
        if (choice.device.isEmpty() ? c.device.isEmpty() && c.comPort == choice.comPort
                                    : c.device == choice.device)
            return c.text;
    }
    return {};
}

CPortSettingsForm::ComChoice CPortSettingsForm::comChoice(const QString &text) const
{
    const QString typed = text.trimmed();
    for (const ComChoice &c : m_comChoices) {
        if (c.text == text || c.text == typed)
            return c;
    }
    static const QRegularExpression comName(QStringLiteral("^COM(\\d{1,4})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = comName.match(typed); m.hasMatch())
        return {typed.toUpper(), m.captured(1).toInt(), QString()};
    if (typed.isEmpty())
        return {QString(), m_stored.comPort, QString()};
    // The mark belongs to a list entry; typed on behind it, it is no part of
    // the path.
    const QString absent = tr("(absent)");
    const QString path = QString(typed).remove(u' ' + absent).remove(absent).trimmed();
    return {path, m_stored.comPort, path};
}

QString CPortSettingsForm::refreshSerialDevices(const QString &comText)
{
    const bool chosen = std::any_of(m_comChoices.cbegin(), m_comChoices.cend(),
                                    [&](const ComChoice &c) { return c.text == comText; });
    const ComChoice current = comChoice(comText);
    QList<ComChoice> keep{{QString(), m_stored.comPort, m_stored.comDevice.trimmed()}};
    // A path being typed is no entry (yet): it stays the field's text alone.
    if (chosen)
        keep.append(current);
    buildComChoices(keep);
    return chosen ? comTextFor(current) : QString();
}

void CPortSettingsForm::buildUsbList()
{
    EnumUsbDevices(m_usbPaths, m_usbNames, m_roots);
    m_absentUsbName.clear();
    const QString stored = m_stored.usbDevicePath;
    if (stored.isEmpty() || stored == UsbPrinters::kPlaceholderPath || m_usbPaths.contains(stored))
        return;
    m_absentUsbName = stored;
    const QString node = UsbDeviceNode(stored, m_roots);
    if (node.isEmpty() || !QFileInfo::exists(node))
        m_absentUsbName += u' ' + tr("(absent)");
    m_usbPaths << stored;
    m_usbNames << m_absentUsbName;
}

QString CPortSettingsForm::refreshUsbDevices(const QString &usbName)
{
    const qsizetype before = m_usbNames.indexOf(usbName);
    const QString path = before >= 0 ? m_usbPaths.at(before) : UsbPrinters::kPlaceholderPath;
    buildUsbList();
    const qsizetype after = m_usbPaths.indexOf(path);
    return after >= 0 ? m_usbNames.at(after) : UsbPrinters::kPlaceholderName;
}

QString CPortSettingsForm::usbPathFor(const QString &name) const
{
    if (!m_absentUsbName.isEmpty() && name == m_absentUsbName)
        return m_stored.usbDevicePath;
    // The entry's own path, not the first path of its name: what the user
    // chose is stored even where a list read later names it otherwise. It is
    // looked for afresh: a printer unplugged since the list was read is not
    // found, and the placeholder is stored.
    const qsizetype chosen = m_usbNames.indexOf(name);
    if (chosen <= 0)
        return UsbPrinters::kPlaceholderPath;
    QStringList paths;
    QStringList names;
    EnumUsbDevices(paths, names, m_roots);
    const QString path = m_usbPaths.at(chosen);
    return paths.contains(path) ? path : UsbPrinters::kPlaceholderPath;
}

CPortSettingsForm::Values CPortSettingsForm::initialValues() const
{
    const TerminalSettings &s = m_stored;
    Values v;
    v.link = s.portKind == 1 ? Link::Serial : s.portKind == 2 ? Link::Usb : Link::Network;
    v.comText = comTextFor({QString(), s.comPort, s.comDevice.trimmed()});
    v.baud = QString::number(s.baud);
    v.dataBits = QString::number(s.dataBits);
    v.stopBits = QString::number(s.stopBits);
    v.parity = s.parity >= 0 && s.parity <= 2 ? s.parity : -1;
    v.protocol = s.protocol >= 0 && s.protocol <= 4 ? s.protocol : -1;
    v.address = s.address;
    v.portNumber = QString::number(s.portNumber);
    v.udp = s.socketType != 1;
    const qsizetype usb = m_usbPaths.indexOf(s.usbDevicePath);
    v.usbName = usb >= 0 ? m_usbNames.at(usb) : UsbPrinters::kPlaceholderName;
    v.limitOn = s.display.displayLimitOn;
    // Held in characters, shown in KByte, rounded towards zero.
    v.limit = QString::number(s.display.displayLimit / 1024);
    v.logOn = s.display.loggingOn;
    v.logFile = s.display.logFilePath;
    return v;
}

void CPortSettingsForm::apply(const Values &v, TerminalSettings &s, const QString &iniPath) const
{
    const QString com = QStringLiteral("Com");
    using Keys = QList<std::pair<QString, QString>>;

    s.portKind = v.link == Link::Serial ? 1 : v.link == Link::Usb ? 2 : 0;
    profile::writeStrings(com, Keys{{QStringLiteral("UseSerial"), QString::number(s.portKind)}},
                          iniPath);

    s.usbDevicePath = usbPathFor(v.usbName);
    profile::writeStrings(QStringLiteral("Usb"),
                          Keys{{QStringLiteral("DeviceName"), s.usbDevicePath}}, iniPath);

    s.address = v.address;
    s.portNumber = number(v.portNumber);
    s.socketType = v.udp ? 2 : 1;
    profile::writeStrings(QStringLiteral("Net"),
                          Keys{{QStringLiteral("IPAdr"), s.address},
                               {QStringLiteral("PortNum"), QString::number(s.portNumber)},
                               {QStringLiteral("SocketType"), QString::number(s.socketType)}},
                          iniPath);

    const ComChoice choice = comChoice(v.comText);
    s.comPort = choice.comPort;
    s.comDevice = choice.device;
    s.baud = number(v.baud);
    s.dataBits = number(v.dataBits);
    s.stopBits = number(v.stopBits);
    // A value the lists do not offer stays as it was.
    if (v.parity >= 0)
        s.parity = v.parity;
    if (v.protocol >= 0)
        s.protocol = v.protocol;
    profile::writeStrings(com,
                          Keys{{QStringLiteral("Port"), QString::number(s.comPort)},
                               {QStringLiteral("Device"), s.comDevice},
                               {QStringLiteral("Baud"), QString::number(s.baud)},
                               {QStringLiteral("DataBits"), QString::number(s.dataBits)},
                               {QStringLiteral("StopBits"), QString::number(s.stopBits)},
                               {QStringLiteral("Parity"), QString::number(s.parity)},
                               {QStringLiteral("Protocol"), QString::number(s.protocol)}},
                          iniPath);

    const int limitKb = std::max(0, number(v.limit));
    s.display.displayLimitOn = v.limitOn;
    s.display.displayLimit = qint64(limitKb) * 1024;
    s.display.loggingOn = v.logOn;
    s.display.logFilePath = v.logFile;
    profile::writeStrings(QStringLiteral("Display"),
                          Keys{{QStringLiteral("UseLimit"), flag(v.limitOn)},
                               {QStringLiteral("Limit"), QString::number(limitKb)},
                               {QStringLiteral("UseLogging"), flag(v.logOn)},
                               {QStringLiteral("Logfile"), v.logFile}},
                          iniPath);
}
