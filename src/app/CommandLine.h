#pragma once

#include "platform/DeviceRoots.h"
#include "settings/TerminalSettings.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks of a start. It is read before any application
// object exists, so that help, the version, a mistake and a run without a
// window never need a display.
struct CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum class Action { Run, Help, Version, Error };
    // The link of this run, in place of the INI file's.
    enum class Link { None, Serial, TcpClient, TcpServer, UdpPeer, UdpServer, Usb };

    Action action = Action::Run;
    QString error; // Action::Error: what is wrong, one line

    QString iniPath;      // --ini FILE; empty: the default place
    QString documentPath; // a saved display to show
    bool automation = false;
    bool start = false; // --start: the terminal runs at once, the window shown
    bool headless = false;

    Link link = Link::None;
    int comPort = 0; // --serial COMn
    QString device;  // --serial path; --usb name, then the printer's path
    QString host;    // --tcp, --udp
    int portNumber = 0;
    std::optional<int> baud;
    std::optional<int> dataBits;
    std::optional<int> parity; // the INI's codes: 0 none, 1 even, 2 odd
    std::optional<int> stopBits;
    std::optional<int> protocol; // the INI's handshake codes 0-4
    QString logPath;             // "-": standard output
    bool timestamps = false;
    bool hex = false;

    // A link on the command line starts the terminal, as --start and
    // automation do.
    bool startsTerminal() const { return start || automation || link != Link::None; }
};

// Reads `arguments` (the program's name first). Unknown options, values that
// cannot be used, an option given twice and more than one link end in
// Action::Error.
CommandLine parseCommandLine(QStringList arguments);
// The same, with a USB printer given by its name looked up among the printers
// present (Action::Error when none has it). Not pure: it reads the devices.
CommandLine readCommandLine(const QStringList &arguments, const DeviceRoots &roots = {});
// What --help prints.
QString commandLineHelp(const QString &programName);

// Puts the link, the line settings and the log of the command line into the
// settings of this run; the INI file stays as it is. The display switches are
// the front end's to set.
void applyCommandLine(const CommandLine &commandLine, TerminalSettings &settings);

// "-Automation" and "/Automation", in any letter case, taken out of
// `arguments`; true when one was there.
bool takeAutomationSwitch(QStringList &arguments);
