#pragma once

#include "support/ChildProcess.h"
#include "support/EventLoopWait.h"

#include <QStringList>

// The printer simulator as a child process: it reports its TCP port or pty path,
// then a line per file it stores or sends.
class PrinterSim
{
public:
    explicit PrinterSim(const QStringList &args)
    {
        m_process.setProgram(QStringLiteral(ORBA_PRINTER_SIM));
        m_process.setArguments(args);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        endWithTest(m_process);
        m_process.start();
        m_started = m_process.waitForStarted(5000)
                    && waitFor(args.contains(QStringLiteral("--pty")) ? "pty " : "listening on ");
    }
    ~PrinterSim()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool isRunning() const { return m_started && m_process.state() == QProcess::Running; }
    // The port of "listening on 127.0.0.1:PORT", the path of "pty PATH".
    int tcpPort() const { return lineAfter("listening on 127.0.0.1:").toInt(); }
    QString ptyPath() const { return lineAfter("pty "); }
    bool waitFor(const char *text, int ms = 20000) // until a line holds `text`
    {
        const auto read = [&] {
            return QString::fromLocal8Bit(m_process.readAllStandardOutput());
        };
        return eventually([&] { return (m_output += read()).contains(QLatin1String(text)); }, ms);
    }
    const QString &output() const { return m_output; }

private:
    QString lineAfter(const char *prefix) const
    {
        const qsizetype at = m_output.indexOf(QLatin1String(prefix));
        return at < 0 ? QString() : m_output.mid(at).section(u'\n', 0, 0).mid(qstrlen(prefix));
    }

    QProcess m_process;
    QString m_output;
    bool m_started = false;
};
