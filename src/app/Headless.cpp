#include "Headless.h"

#include "app/CommandLine.h"
#include "app/StopSignals.h"
#include "display/DisplayModel.h"
#include "display/DisplayRendering.h"
#include "display/LogFile.h"
#include "platform/Clock.h"
#include "platform/UiServices.h"
#include "ports/ConnectionWait.h"
#include "settings/ConfigStore.h"
#include "terminal/LinkReport.h"
#include "terminal/Terminal.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

// Nobody looks at the display of a run without a window: it keeps only this
// much, however long the run.
constexpr qint64 kDisplayKeptChars = 64 * 1024;

// One line on standard error, beginning with the time as the log's lines do.
void tell(QString text)
{
    text.replace(QLatin1String("\n\n"), QLatin1String(" ")).replace(u'\n', u' ');
    const QByteArray stamp = formatTimestamp(currentLocalTime()).mid(1);
    std::fprintf(stderr, "%s%s\n", stamp.constData(), qPrintable(text));
    std::fflush(stderr);
}

// Boxes become lines; nobody is there to answer a question or choose a file.
class HeadlessUiServices final : public UiServices
{
public:
    void beep() override {}
    void messageBox(const QString &text, const QString &, Icon) override { tell(text); }
    Answer question(const QString &text, const QString &, bool withCancel) override
    {
        tell(text);
        return withCancel ? Answer::Cancel : Answer::No;
    }
    QString openFileName(const FileDialog &) override { return {}; }
    QString saveFileName(const FileDialog &) override { return {}; }
};

class CHeadlessRun final : public CConnectionWait
{
    Q_DECLARE_TR_FUNCTIONS(Headless)
public:
    explicit CHeadlessRun(const CommandLine &commandLine)
        : m_cl(commandLine)
        , m_terminal(
              ConfigStore::resolveIniPath(ConfigStore::programDirectory(), commandLine.iniPath))
    {
        setDefaultUiServices(&m_ui);
    }
    ~CHeadlessRun() override
    {
        m_terminal.setConnectionWait(nullptr);
        setDefaultUiServices(nullptr);
    }

    // The settings of this run; false when its log cannot be written (told).
    bool prepare();
    // Starts the terminal once the event loop runs; returns the exit status.
    int exec();

    void beginConnect() override
    {
        const TerminalSettings &s = m_terminal.settings();
        if (s.socketType == 1)
            tell(tr("Connecting to %1:%2...").arg(s.address).arg(s.portNumber));
    }
    void beginPeerWait(int socketType, std::atomic<int> *) override
    {
        // The waits for a server's next peer are told by the terminal.
        if (m_startedOnce)
            return;
        const int port = m_terminal.settings().portNumber;
        tell(socketType == 1 ? tr("Waiting for a connection on port %1...").arg(port)
                             : tr("Waiting for UDP data on port %1...").arg(port));
    }

private:
    void begin();
    void onStarted();
    void onLinkStateChanged();
    void tellState(LinkState state);
    void onLogStatus(const CLogWriter::Status &status);
    void checkStillRunning();
    // Ends the run with `status` once the event loop has returned to it.
    void end(int status);
    void finish();
    QString linkText() const { return linkreport::portText(m_terminal.settings()); }
    QString logName() const;

    const CommandLine &m_cl;
    HeadlessUiServices m_ui;
    CTerminal m_terminal;
    CStopSignals m_signals;
    QString m_lastState;
    bool m_lostTold = false;
    bool m_reconnectingTold = false;
    bool m_hotKeyTold = false;
    bool m_startedOnce = false;
    bool m_ending = false;
    int m_status = 0;
};

bool CHeadlessRun::prepare()
{
    m_terminal.LoadSettings();
    TerminalSettings &s = m_terminal.settings();
    applyCommandLine(m_cl, s);
    s.display.timestampPerLine = m_cl.timestamps;
    if (m_cl.hex)
        m_terminal.setHexMode(true);
    s.display.displayLimitOn = true;
    s.display.displayLimit = kDisplayKeptChars;
    // Without a log file of its own, what arrives goes to standard output.
    const bool toStandardOutput = m_cl.logPath == QLatin1String("-") || !s.display.loggingOn
                                  || s.display.logFilePath.isEmpty();
    if (toStandardOutput) {
        s.display.loggingOn = true;
        s.display.logFilePath = QStringLiteral("-");
    }
    m_terminal.display().setDashLogsToStandardOutput(toStandardOutput);
    // Found out now, not in the morning after a night of capturing nothing.
    if (const int error = toStandardOutput ? 0 : AppendToLogFile(s.display.logFilePath, "", 0)) {
        tell(tr("The log file %1 cannot be written: %2.")
                 .arg(s.display.logFilePath, CLogWriter::describe(error)));
        return false;
    }

    m_terminal.setConnectionWait(this);
    CTerminal *t = &m_terminal;
    QObject::connect(t, &CTerminal::statusMessage, t, [](const QString &text) { tell(text); });
    QObject::connect(t, &CTerminal::started, t, [this] { onStarted(); });
    QObject::connect(t, &CTerminal::linkStateChanged, t, [this] { onLinkStateChanged(); });
    QObject::connect(t, &CTerminal::stopped, t, [this] {
        // Asked once the stop is over: a server's Stop is followed by a Start.
        QTimer::singleShot(0, &m_terminal, [this] { checkStillRunning(); });
    });
    QObject::connect(&t->display(), &CDisplayModel::logStatusChanged, t,
                     [this](const CLogWriter::Status &status) { onLogStatus(status); });
    QObject::connect(t, &CTerminal::hotKeyConfigurationRequested, t, [this] {
        if (!std::exchange(m_hotKeyTold, true))
            tell(tr("A hotkey that answers received text has nothing to send; set it up in "
                    "the window (Settings > Hotkeys)."));
    });
    QObject::connect(&m_signals, &CStopSignals::received, t, [this](int signal) {
        tell(tr("%1 received: the run ends.")
                 .arg(QLatin1String(signal == SIGINT ? "SIGINT" : "SIGTERM")));
        end(0);
    });
    return true;
}

int CHeadlessRun::exec()
{
    QTimer::singleShot(0, &m_terminal, [this] { begin(); });
    return QCoreApplication::exec();
}

void CHeadlessRun::begin()
{
    m_terminal.OnTerminalStart();
    if (!m_ending && !m_terminal.isRunning())
        end(1); // the reason was told
}

void CHeadlessRun::onStarted()
{
    m_startedOnce = true;
    // Told even when the link is the same as before (a server's next peer),
    // and before a peer that leaves at once is told gone.
    m_lastState.clear();
    tellState(LinkState::Connected);
}

void CHeadlessRun::onLinkStateChanged()
{
    // A start's waits are told by themselves; the terminal stops only to end
    // the run, or between one peer of a server and the next.
    if (!m_ending && !m_terminal.isStarting() && m_terminal.isRunning())
        tellState(m_terminal.shownLinkState());
}

void CHeadlessRun::tellState(LinkState state)
{
    // A device that keeps coming and going before it opens is told once.
    if (state == LinkState::Connected)
        m_lostTold = m_reconnectingTold = false;
    else if (state == LinkState::Lost || state == LinkState::Reconnecting)
        if (std::exchange(state == LinkState::Lost ? m_lostTold : m_reconnectingTold, true))
            return;
    const QString text = linkText() + QLatin1String(": ")
                         + linkreport::stateText(state, m_terminal.handshakeHold());
    if (text != std::exchange(m_lastState, text))
        tell(text);
}

QString CHeadlessRun::logName() const
{
    const QString &path = m_terminal.settings().display.logFilePath;
    return path == QLatin1String("-") ? tr("standard output") : path;
}

void CHeadlessRun::onLogStatus(const CLogWriter::Status &status)
{
    if (status.failing && status.error == EPIPE && status.path == QLatin1String("-")) {
        tell(tr("Standard output is closed: the run ends."));
        end(1);
    } else if (status.failing) {
        tell(tr("The log (%1) cannot be written: %2.")
                 .arg(logName(), CLogWriter::describe(status.error)));
    } else if (!status.dismissed) {
        tell(tr("The log (%1) is written again; %2 bytes could not be logged.")
                 .arg(logName())
                 .arg(status.lost));
    }
}

void CHeadlessRun::checkStillRunning()
{
    if (m_ending || m_terminal.isRunning() || m_terminal.isStarting())
        return;
    tell(tr("%1: the link is closed and the run ends.").arg(linkText()));
    end(1);
}

void CHeadlessRun::end(int status)
{
    if (std::exchange(m_ending, true))
        return;
    m_status = status;
    // A start that waits for its peer or connection gives up; it returns to
    // the event loop, which then ends the run.
    m_terminal.abortStart();
    QTimer::singleShot(0, &m_terminal, [this] { finish(); });
}

void CHeadlessRun::finish()
{
    if (m_terminal.isStarting()) {
        QTimer::singleShot(10, &m_terminal, [this] { finish(); });
        return;
    }
    const bool running = m_terminal.isRunning();
    const QString link = linkText();
    m_terminal.finishRun();
    if (running)
        tell(link + QLatin1String(": ") + tr("stopped"));
    QCoreApplication::exit(m_status);
}

} // namespace

int runWithoutWindow(const CommandLine &commandLine, const QString &programName)
{
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(qPrintable(commandLineHelp(programName)), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "%s: %s\n", qPrintable(programName), qPrintable(commandLine.error));
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    // The reasons of a failure are told in full; the ports' notes are for
    // troubleshooting.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orbaterminal.*.debug=false\n"
                                                        "orbaterminal.*.info=false"));
    CHeadlessRun run(commandLine);
    if (!run.prepare())
        return 1;
    return run.exec();
}
