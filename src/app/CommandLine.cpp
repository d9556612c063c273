#include "CommandLine.h"

#include "platform/UsbPrinterList.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace {

enum class Opt {
    Ini,
    Start,
    Automation,
    Serial,
    Baud,
    Format,
    Handshake,
    Tcp,
    Listen,
    Udp,
    UdpListen,
    Usb,
    Log,
    Timestamps,
    Hex,
    Headless,
    Help,
    Version,
};

struct OptionEntry
{
    Opt id;
    const char *names; // the spellings, separated by ", "
    const char *value; // the value's name; nullptr for a switch
    const char *text;
};

// In the order --help lists them. -Automation is taken out before the rest
// is read; it is here for the help only.
const std::array kOptions = {
    OptionEntry{Opt::Ini, "--ini", "FILE",
               QT_TRANSLATE_NOOP("CommandLine", "Use FILE as the settings file.")},
    OptionEntry{
        Opt::Start, "--start", nullptr,
        QT_TRANSLATE_NOOP("CommandLine", "Start the terminal at once (as Terminal > Start).")},
    OptionEntry{Opt::Automation, "-Automation, /Automation", nullptr,
               QT_TRANSLATE_NOOP("CommandLine", "Start minimized and start the terminal.")},
    OptionEntry{
        Opt::Serial, "--serial", "DEVICE",
        QT_TRANSLATE_NOOP("CommandLine",
                          "A serial link on DEVICE (a path such as /dev/ttyUSB0, or COMn).")},
    OptionEntry{Opt::Baud, "--baud", "N", QT_TRANSLATE_NOOP("CommandLine", "Baud rate.")},
    OptionEntry{
        Opt::Format, "--format", "8N1",
        QT_TRANSLATE_NOOP("CommandLine", "Data bits 5-8, parity N, E or O, stop bits 1 or 2.")},
    OptionEntry{Opt::Handshake, "--handshake", "MODE",
               QT_TRANSLATE_NOOP("CommandLine",
                                 "none, xonxoff, hardware (RTS/CTS and DTR/DSR), rtscts or "
                                 "dtrdsr.")},
    OptionEntry{Opt::Tcp, "--tcp", "HOST:PORT",
               QT_TRANSLATE_NOOP("CommandLine", "A TCP client link to HOST:PORT.")},
    OptionEntry{Opt::Listen, "--listen", "PORT",
               QT_TRANSLATE_NOOP("CommandLine", "A TCP server on PORT.")},
    OptionEntry{Opt::Udp, "--udp", "HOST:PORT",
               QT_TRANSLATE_NOOP("CommandLine", "A UDP link with HOST:PORT.")},
    OptionEntry{Opt::UdpListen, "--udp-listen", "PORT",
               QT_TRANSLATE_NOOP("CommandLine", "A UDP server on PORT.")},
    OptionEntry{Opt::Usb, "--usb", "NAME",
               QT_TRANSLATE_NOOP("CommandLine",
                                 "A USB printer, by its name in the port settings or its usb: "
                                 "path.")},
    OptionEntry{Opt::Log, "--log", "FILE",
               QT_TRANSLATE_NOOP("CommandLine", "Log to FILE (- for standard output).")},
    OptionEntry{Opt::Timestamps, "--timestamps", nullptr,
               QT_TRANSLATE_NOOP("CommandLine", "A timestamp in each line.")},
    OptionEntry{Opt::Hex, "--hex", nullptr, QT_TRANSLATE_NOOP("CommandLine", "Hex mode.")},
    OptionEntry{Opt::Headless, "--headless", nullptr,
               QT_TRANSLATE_NOOP("CommandLine", "No window (see below).")},
    OptionEntry{Opt::Help, "-h, --help", nullptr,
               QT_TRANSLATE_NOOP("CommandLine", "Print this help and exit.")},
    OptionEntry{Opt::Version, "-v, --version", nullptr,
               QT_TRANSLATE_NOOP("CommandLine", "Print the version and exit.")},
};

const OptionEntry *findOption(const QString &name)
{
    for (const OptionEntry &o : kOptions) {
        if (o.id == Opt::Automation)
            continue;
        const QStringList names = QString::fromLatin1(o.names).split(QStringLiteral(", "));
        if (names.contains(name))
            return &o;
    }
    return nullptr;
}

bool isLink(Opt id)
{
    return id == Opt::Serial || id == Opt::Tcp || id == Opt::Listen || id == Opt::Udp
           || id == Opt::UdpListen || id == Opt::Usb;
}

bool isLineSetting(Opt id)
{
    return id == Opt::Baud || id == Opt::Format || id == Opt::Handshake;
}

// A whole number from `min` to `max`, digits only.
std::optional<int> number(const QString &text, int min, int max)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,10}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const qlonglong n = text.toLongLong();
    if (n < min || n > max)
        return std::nullopt;
    return static_cast<int>(n);
}

class Parser
{
public:
    explicit Parser(CommandLine &result)
        : m_r(result)
    {}

    void read(QStringList args)
    {
        m_r.automation = takeAutomationSwitch(args);
        bool optionsEnd = false;
        for (qsizetype i = 1; i < args.size() && m_r.action != CommandLine::Action::Error; ++i) {
            const QString &arg = args.at(i);
            if (optionsEnd || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
                positional(arg);
                continue;
            }
            if (arg == QLatin1String("--")) {
                optionsEnd = true;
                continue;
            }
            const qsizetype eq = arg.startsWith(QLatin1String("--")) ? arg.indexOf(u'=') : -1;
            const QString name = eq < 0 ? arg : arg.left(eq);
            const OptionEntry *entry = findOption(name);
            if (!entry) {
                fail(CommandLine::tr("unknown option %1 (see --help)").arg(name));
                break;
            }
            std::optional<QString> value;
            if (eq >= 0)
                value = arg.mid(eq + 1);
            else if (entry->value && i + 1 < args.size())
                value = args.at(++i);
            if (entry->value && !value) {
                fail(CommandLine::tr("%1 needs a value: %1 %2")
                         .arg(name, QLatin1String(entry->value)));
                break;
            }
            if (!entry->value && value) {
                fail(CommandLine::tr("%1 takes no value").arg(name));
                break;
            }
            option(*entry, name, value.value_or(QString()));
        }
        if (m_r.action == CommandLine::Action::Error)
            return;
        if (m_help)
            m_r.action = CommandLine::Action::Help;
        else if (m_version)
            m_r.action = CommandLine::Action::Version;
        else if (m_r.headless && !m_r.documentPath.isEmpty())
            fail(CommandLine::tr("a saved display (%1) cannot be shown without a window")
                     .arg(m_r.documentPath));
        else if (!m_lineOption.isEmpty() && !m_linkOption.isEmpty()
                 && m_r.link != CommandLine::Link::Serial)
            fail(CommandLine::tr("%1 is for a serial link; it cannot go with %2")
                     .arg(m_lineOption, m_linkOption));
    }

private:
    void fail(const QString &text)
    {
        m_r.action = CommandLine::Action::Error;
        m_r.error = text;
    }

    void positional(const QString &arg)
    {
        if (!m_r.documentPath.isEmpty())
            fail(CommandLine::tr("only one saved display can be shown: %1 or %2")
                     .arg(m_r.documentPath, arg));
        else
            m_r.documentPath = arg;
    }

    void option(const OptionEntry &entry, const QString &name, const QString &value)
    {
        if (m_seen.contains(entry.id)) {
            fail(CommandLine::tr("%1 is given twice").arg(name));
            return;
        }
        m_seen << entry.id;
        if (isLink(entry.id)) {
            if (!m_linkOption.isEmpty()) {
                fail(CommandLine::tr("one link at a time: %1 and %2 cannot go together")
                         .arg(m_linkOption, name));
                return;
            }
            m_linkOption = name;
        }
        if (isLineSetting(entry.id))
            m_lineOption = name;
        if (entry.value && value.isEmpty()) {
            fail(CommandLine::tr("%1 needs a value: %1 %2").arg(name, QLatin1String(entry.value)));
            return;
        }
        const auto bad = [&](const char *what) {
            fail(CommandLine::tr(what).arg(name, value));
        };
        switch (entry.id) {
        case Opt::Ini:
            m_r.iniPath = value;
            break;
        case Opt::Start:
            m_r.start = true;
            break;
        case Opt::Automation:
            break;
        case Opt::Serial:
            serial(name, value);
            break;
        case Opt::Baud:
            if (!(m_r.baud = number(value, 1, 99'999'999)))
                bad(QT_TRANSLATE_NOOP("CommandLine",
                                      "%1: \"%2\" is not a baud rate (a whole number above 0)"));
            break;
        case Opt::Format:
            format(name, value);
            break;
        case Opt::Handshake: {
            static const QStringList modes = {
                QStringLiteral("none"),   QStringLiteral("xonxoff"), QStringLiteral("hardware"),
                QStringLiteral("rtscts"), QStringLiteral("dtrdsr"),
            };
            // The codes of the port settings' list, in its order.
            const qsizetype code = modes.indexOf(value.toLower());
            if (code < 0)
                bad(QT_TRANSLATE_NOOP("CommandLine", "%1: \"%2\" is not a handshake; use none, "
                                                     "xonxoff, hardware, rtscts or dtrdsr"));
            else
                m_r.protocol = static_cast<int>(code);
            break;
        }
        case Opt::Tcp:
        case Opt::Udp:
            hostAndPort(entry.id == Opt::Tcp ? CommandLine::Link::TcpClient
                                            : CommandLine::Link::UdpPeer,
                        name, value);
            break;
        case Opt::Listen:
        case Opt::UdpListen:
            if (const auto port = number(value, 1, 65535)) {
                m_r.link = entry.id == Opt::Listen ? CommandLine::Link::TcpServer
                                                  : CommandLine::Link::UdpServer;
                m_r.portNumber = *port;
            } else {
                bad(QT_TRANSLATE_NOOP("CommandLine",
                                      "%1: \"%2\" is not a port number (1 to 65535)"));
            }
            break;
        case Opt::Usb:
            m_r.link = CommandLine::Link::Usb;
            m_r.device = value;
            break;
        case Opt::Log:
            m_r.logPath = value;
            break;
        case Opt::Timestamps:
            m_r.timestamps = true;
            break;
        case Opt::Hex:
            m_r.hex = true;
            break;
        case Opt::Headless:
            m_r.headless = true;
            break;
        case Opt::Help:
            m_help = true;
            break;
        case Opt::Version:
            m_version = true;
            break;
        }
    }

    void serial(const QString &name, const QString &value)
    {
        static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,4})$"),
                                            QRegularExpression::CaseInsensitiveOption);
        m_r.link = CommandLine::Link::Serial;
        if (const QRegularExpressionMatch m = com.match(value); m.hasMatch()) {
            m_r.comPort = m.captured(1).toInt();
            if (m_r.comPort < 1)
                fail(CommandLine::tr("%1: \"%2\" is not a serial port (COM numbers begin at 1)")
                         .arg(name, value));
            return;
        }
        m_r.device = value;
    }

    void format(const QString &name, const QString &value)
    {
        static const QRegularExpression shape(QStringLiteral("^([5-8])([NEOMS])([12])$"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = shape.match(value);
        if (!m.hasMatch()) {
            fail(CommandLine::tr(
                     "%1: \"%2\" is not a serial format such as 8N1 (data bits 5 to 8, parity N, "
                     "E or O, stop bits 1 or 2)")
                     .arg(name, value));
            return;
        }
        const int parity = QStringLiteral("NEO").indexOf(m.captured(2).toUpper());
        if (parity < 0) {
            fail(
                CommandLine::tr("%1: mark and space parity (M, S) are not supported; use N, E or O")
                    .arg(name));
            return;
        }
        m_r.dataBits = m.captured(1).toInt();
        m_r.parity = parity;
        m_r.stopBits = m.captured(3).toInt();
    }

    void hostAndPort(CommandLine::Link link, const QString &name, const QString &value)
    {
        // IPv4 addresses and host names: the last colon parts the port off.
        const qsizetype colon = value.lastIndexOf(u':');
        const QString host = value.left(std::max<qsizetype>(colon, 0));
        const auto port = colon > 0 ? number(value.mid(colon + 1), 1, 65535) : std::nullopt;
        if (!port || host.contains(u':') || host.contains(u' ')) {
            fail(CommandLine::tr("%1: \"%2\" is not HOST:PORT (a port number from 1 to 65535)")
                     .arg(name, value));
            return;
        }
        m_r.link = link;
        m_r.host = host;
        m_r.portNumber = *port;
    }

    CommandLine &m_r;
    QList<Opt> m_seen;
    QString m_linkOption;
    QString m_lineOption;
    bool m_help = false;
    bool m_version = false;
};

} // namespace

bool takeAutomationSwitch(QStringList &arguments)
{
    const qsizetype before = arguments.size();
    // The program's own name comes first and is never a switch.
    for (qsizetype i = arguments.size() - 1; i >= 1; --i) {
        const QString &a = arguments[i];
        if (a.compare(QLatin1String("-Automation"), Qt::CaseInsensitive) == 0
            || a.compare(QLatin1String("/Automation"), Qt::CaseInsensitive) == 0)
            arguments.removeAt(i);
    }
    return arguments.size() != before;
}

CommandLine parseCommandLine(QStringList arguments)
{
    CommandLine result;
    Parser(result).read(std::move(arguments));
    return result;
}

CommandLine readCommandLine(const QStringList &arguments, const DeviceRoots &roots)
{
    CommandLine result = parseCommandLine(arguments);
    if (result.action != CommandLine::Action::Run || result.link != CommandLine::Link::Usb)
        return result;
    // A port path or a device path stands as it is, present or not.
    if (result.device.startsWith(UsbPrinters::kPortPathPrefix) || result.device.startsWith(u'/'))
        return result;
    QString path;
    FindUsbDevicePath(result.device, path, roots);
    if (path == UsbPrinters::kPlaceholderPath) {
        result.action = CommandLine::Action::Error;
        result.error
            = CommandLine::tr("--usb: no USB printer named \"%1\" is present").arg(result.device);
    }
    result.device = path;
    return result;
}

QString commandLineHelp(const QString &programName)
{
    // Words wrapped at 79 columns; lines after the first indented by `indent`.
    const auto wrap = [](const QString &text, qsizetype indent, qsizetype first = 0) {
        QString out;
        qsizetype column = first;
        for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
            if (column > indent && column + 1 + word.size() > 79) {
                out += u'\n' + QString(indent, u' ');
                column = indent;
            } else if (!out.isEmpty()) {
                out += u' ';
                ++column;
            }
            out += word;
            column += word.size();
        }
        return out + u'\n';
    };
    QString text = CommandLine::tr("Usage: %1 [options] [file.ter]").arg(programName) + u'\n';
    text += wrap(CommandLine::tr("Terminal for building-automation equipment: a serial port, a "
                                 "TCP or UDP link or a USB printer."),
                 0)
            + u'\n';
    QStringList heads;
    for (const OptionEntry &o : kOptions)
        heads << QLatin1String("  ") + QLatin1String(o.names)
                     + (o.value ? u' ' + QLatin1String(o.value) : QString());
    qsizetype width = 0;
    for (const QString &head : heads)
        width = std::max(width, head.size() + 2);
    for (std::size_t i = 0; i < kOptions.size(); ++i)
        text += heads.at(static_cast<qsizetype>(i)).leftJustified(width)
                + wrap(CommandLine::tr(kOptions[i].text), width, width);
    text += u'\n'
            + wrap(CommandLine::tr("A link option starts the terminal at once. The options hold "
                                   "for this run only: the settings file stays as it is."),
                   0)
            + u'\n'
            + wrap(CommandLine::tr("Without a window (--headless) what arrives goes to the log, "
                                   "standard output unless a log file is set, and every change "
                                   "of the link to standard error; Ctrl+C ends it."),
                   0);
    return text;
}

void applyCommandLine(const CommandLine &c, TerminalSettings &s)
{
    using Link = CommandLine::Link;
    switch (c.link) {
    case Link::None:
        break;
    case Link::Serial:
        s.portKind = 1;
        if (c.comPort > 0)
            s.comPort = c.comPort;
        s.comDevice = c.device; // empty for a COM number
        break;
    case Link::Usb:
        s.portKind = 2;
        s.usbDevicePath = c.device;
        break;
    case Link::TcpClient:
    case Link::TcpServer:
    case Link::UdpPeer:
    case Link::UdpServer:
        s.portKind = 0;
        s.address = c.host; // empty: a server
        s.portNumber = c.portNumber;
        s.socketType = c.link == Link::TcpClient || c.link == Link::TcpServer ? 1 : 2;
        break;
    }
    s.baud = c.baud.value_or(s.baud);
    s.dataBits = c.dataBits.value_or(s.dataBits);
    s.parity = c.parity.value_or(s.parity);
    s.stopBits = c.stopBits.value_or(s.stopBits);
    s.protocol = c.protocol.value_or(s.protocol);
    if (!c.logPath.isEmpty()) {
        s.display.loggingOn = true;
        // Absolute, so that the port settings show where it goes.
        s.display.logFilePath
            = c.logPath == QLatin1String("-") ? c.logPath : QFileInfo(c.logPath).absoluteFilePath();
    }
}
