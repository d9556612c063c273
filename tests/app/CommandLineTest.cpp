// What each option makes of this run's settings, and the one line each mistake gets.
#include "app/CommandLine.h"
#include "support/FakeDeviceTree.h"
#include "terminal/LinkReport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The run a command line asks for: the port as pane 104 shows it, then what
// else is set; or its error. "_" stands for a blank within an argument.
QString outcome(const QString &line, const DeviceRoots &roots)
{
    QStringList args{"orbaterminal"};
    for (const QString &arg : line.split(' ', Qt::SkipEmptyParts))
        args << QString(arg).replace('_', ' ');
    const CommandLine c = readCommandLine(args, roots);
    if (c.action != CommandLine::Action::Run)
        return c.action == CommandLine::Action::Error  ? "error: " + c.error
               : c.action == CommandLine::Action::Help ? "help"
                                                       : "version";
    TerminalSettings s;
    applyCommandLine(c, s);
    QStringList r{linkreport::portText(s)};
    const auto add = [&](bool on, const QString &text) {
        if (on)
            r << text;
    };
    add(s.portKind == 0 && s.socketType == 2, "udp");
    add(s.portKind == 2, "usb=" + s.usbDevicePath);
    add(c.startsTerminal(), "start");
    add(c.automation, "auto");
    add(s.display.loggingOn, "log=" + s.display.logFilePath);
    add(c.timestamps, "ts");
    add(c.hex, "hex");
    add(c.headless, "headless");
    add(!c.iniPath.isEmpty(), "ini=" + c.iniPath);
    add(!c.documentPath.isEmpty(), "doc=" + c.documentPath);
    return r.join(' ');
}

TEST(CommandLineTest, eachOptionSetsThisRunAndEachMistakeGetsOneLine)
{
    const QString cwd = QDir::currentPath();
    const std::pair<const char *, QString> rows[] = {
        {"", "COM1,19200,N,8,1,H"},
        {"--serial /dev/ttyUSB0 --baud 9600 --format 7e2 --handshake none",
         "ttyUSB0,9600,E,7,2,- start"},
        {"--serial com3 --handshake=XONXOFF", "COM3,19200,N,8,1,X start"},
        {"--baud 31250 --format 5O1 --handshake dtrdsr", "COM1,31250,O,5,1,H"},
        {"--tcp 10.0.0.5:4001 --log site.log --timestamps --headless",
         "IP:10.0.0.5, 4001 start log=" + cwd + "/site.log ts headless"},
        {"--listen 9100 --log=-", "IP:, 9100 start log=-"},
        {"--udp plc.local:5000 --hex", "IP:plc.local, 5000 udp start hex"},
        {"--udp-listen 5000", "IP:, 5000 udp start"},
        {"--usb usb:1-1.4:1.0", "USB usb=usb:1-1.4:1.0 start"},
        {"--usb /dev/usb/lp0", "USB usb=/dev/usb/lp0 start"},
        {"--ini a.ini /AUTOMATION saved.ter",
         "COM1,19200,N,8,1,H start auto ini=a.ini doc=saved.ter"},
        {"--start -- --odd.ter", "COM1,19200,N,8,1,H start doc=--odd.ter"},
        {"--tcp h:1 --help", "help"},
        {"-v", "version"},
        {"--bogus", "error: unknown option --bogus (see --help)"},
        {"-x", "error: unknown option -x (see --help)"},
        {"--baud", "error: --baud needs a value: --baud N"},
        {"--log=", "error: --log needs a value: --log FILE"},
        {"--hex=1", "error: --hex takes no value"},
        {"--log a --log b", "error: --log is given twice"},
        {"--serial COM1 --tcp h:1",
         "error: one link at a time: --serial and --tcp cannot go together"},
        {"--listen 1 --listen 2", "error: --listen is given twice"},
        {"--tcp h:1 --format 8N1", "error: --format is for a serial link; it cannot go with --tcp"},
        {"--baud 0", "error: --baud: \"0\" is not a baud rate (a whole number above 0)"},
        {"--baud 9k6", "error: --baud: \"9k6\" is not a baud rate (a whole number above 0)"},
        {"--format 9N1", "error: --format: \"9N1\" is not a serial format such as 8N1 (data bits 5 "
                         "to 8, parity N, E or O, stop bits 1 or 2)"},
        {"--format 8M1", "error: --format: mark and space parity (M, S) are not supported; use N, "
                         "E or O"},
        {"--handshake rts", "error: --handshake: \"rts\" is not a handshake; use none, xonxoff, "
                            "hardware, rtscts or dtrdsr"},
        {"--tcp host", "error: --tcp: \"host\" is not HOST:PORT (a port number from 1 to 65535)"},
        {"--udp :5000", "error: --udp: \":5000\" is not HOST:PORT (a port number from 1 to 65535)"},
        {"--listen 65536", "error: --listen: \"65536\" is not a port number (1 to 65535)"},
        {"--udp-listen x", "error: --udp-listen: \"x\" is not a port number (1 to 65535)"},
        {"--serial COM0",
         "error: --serial: \"COM0\" is not a serial port (COM numbers begin at 1)"},
        {"--headless x.ter", "error: a saved display (x.ter) cannot be shown without a window"},
        {"a.ter b.ter", "error: only one saved display can be shown: a.ter or b.ter"},
        {"--usb Zebra", "error: --usb: no USB printer named \"Zebra\" is present"},
    };
    FakeDeviceTree tree;
    for (const auto &[line, expected] : rows)
        EXPECT_EQ(outcome(line, tree.roots()), expected) << line;

    // A printer by the name the port settings list shows.
    tree.addUsbPrinter(0, "1-1.4:1.0", "r+k", "Printer", "42");
    EXPECT_EQ(outcome("--usb USB_1-1.4:_r+k_Printer_[42]", tree.roots()),
              "USB usb=usb:1-1.4:1.0 start");
}

} // namespace
