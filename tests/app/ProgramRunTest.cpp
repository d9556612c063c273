// The program itself as a user starts it: answers, headless captures, a window on a link.
#include "support/ChildProcess.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"
#include "support/LoopbackSockets.h"
#include "support/Pty.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include <sys/socket.h>

namespace {

class ProgramRunTest : public ::testing::Test
{
protected:
    // With its own INI, settings folder and language; a display only for a window.
    struct Program : QProcess
    {
        Program(const QTemporaryDir &dir, const QStringList &args, const char *locale = "C.UTF-8",
                bool window = false)
        {
            endWithTest(*this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *name :
                 {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES", "LANG"})
                env.remove(name);
            if (window)
                env.insert("QT_QPA_PLATFORM", "offscreen");
            env.insert("LC_ALL", locale);
            env.insert("XDG_CONFIG_HOME", dir.path());
            setProcessEnvironment(env);
            start(ORBA_PROGRAM, QStringList{"--ini", dir.filePath("o.ini")} + args);
        }
        ~Program() override
        {
            kill();
            waitForFinished();
        }
        QByteArray out() { return m_out += readAllStandardOutput(); }
        QString err() { return m_err += QString::fromLocal8Bit(readAllStandardError()); }
        // Its exit status once it ends by itself (after `signal`, if given), or -1.
        int status(int signal = 0)
        {
            if (signal)
                ::kill(static_cast<pid_t>(processId()), signal);
            if (!waitForFinished(scaledDeadline(20000)) || exitStatus() != NormalExit)
                return -1;
            out();
            err();
            return exitCode();
        }
        // Standard error without the time at the start of each line.
        QString lines()
        {
            static const QRegularExpression time(
                "(^|\n)\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} - ");
            return err().replace(time, "\\1");
        }
        QByteArray m_out;
        QString m_err;
    };

    QTemporaryDir dir;
};

TEST_F(ProgramRunTest, answersAndMistakesNeedNoDisplayAndAFailedLinkEndsWithItsReason)
{
    const unsigned closed = freePort(SOCK_STREAM);
    const QString noLog = dir.filePath("no/x.log");
    // Arguments, locale, exit status, and how standard output begins or what standard error holds.
    const std::tuple<QString, const char *, int, QString> rows[] = {
        {"--help", "C.UTF-8", 0, "Usage: orbaterminal [options] [file.ter]\n"},
        {"--help", "de_DE.UTF-8", 0, "Aufruf: orbaterminal [Optionen] [Datei.ter]\n"},
        {"--version", "C.UTF-8", 0, "ORBATerminal " ORBA_VERSION "\n"},
        {"--bogus --headless", "C.UTF-8", 2, "orbaterminal: unknown option --bogus (see --help)\n"},
        {"--serial /dev/a --usb b", "C.UTF-8", 2,
         "orbaterminal: one link at a time: --serial and --usb cannot go together\n"},
        {"--headless --tcp 127.0.0.1:" + QString::number(closed), "C.UTF-8", 1,
         "Error connecting to port (socket error: CONNREFUSED)!"},
        {"--headless --serial /dev/ttyNone", "C.UTF-8", 1, "/dev/ttyNone is not plugged in."},
        {"--headless --listen 1 --log " + noLog, "C.UTF-8", 1,
         "The log file " + noLog + " cannot be written: its folder does not exist."},
    };
    for (const auto &[args, locale, status, text] : rows) {
        Program p(dir, args.split(' '), locale);
        ASSERT_EQ(p.status(), status) << args.toStdString() << p.err().toStdString();
        EXPECT_TRUE(status == 0 ? p.out().startsWith(text.toUtf8()) : p.err().contains(text))
            << p.out().left(200).toStdString() << p.err().toStdString();
        EXPECT_TRUE(status == 2 ? p.err().count('\n') == 1 : true) << p.err().toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("o.ini")));
}

// SIGTERM ends a server's wait. A capture gets every byte in order on standard output
// (a pipe), a line per change of the link; SIGTERM mid-flood leaves what arrived written.
TEST_F(ProgramRunTest, headlessTcpRunsEndCleanlyOnSigtermAndACaptureSurvivesThePeersRestart)
{
    const QString unused = QString::number(freePort(SOCK_STREAM));
    Program server(dir, {"--headless", "--listen", unused});
    ASSERT_TRUE(eventually([&] { return server.err().contains("Waiting"); }));
    EXPECT_EQ(server.status(SIGTERM), 0);
    EXPECT_EQ(server.lines().toStdString(), ("Waiting for a connection on port " + unused
                                             + "...\nSIGTERM received: the run ends.\n")
                                                .toStdString());

    Fd listener{boundSocket(SOCK_STREAM, "127.0.0.1", 0)};
    const QString port = QString::number(localPort(listener.fd));
    // Without --log, and with the INI's log off, what arrives goes to standard output.
    const QString iniLog = dir.filePath("ini.log");
    ASSERT_TRUE(writeFileBytes(dir.filePath("o.ini"),
                               "[Display]\nUseLogging=0\nLogfile=" + iniLog.toUtf8() + "\n"));
    Program p(dir, {"--headless", "--tcp", "127.0.0.1:" + port});
    QByteArray sent, bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    const auto send = [&](int fd, const QByteArray &part) {
        ASSERT_EQ(::send(fd, part.constData(), part.size(), MSG_NOSIGNAL), part.size());
        ASSERT_TRUE(eventually([&] { return p.out().endsWith(part); }, 10000));
        sent += part;
    };
    send(Fd{::accept(listener.fd, nullptr, nullptr)}.fd, bytes + "\r\nline\r\n");
    // The converter restarts; the capture connects again by itself.
    Fd conn{::accept(listener.fd, nullptr, nullptr)};
    send(conn.fd, "after the restart\n");
    EXPECT_EQ(p.out().toStdString(), sent.toStdString());

    const QByteArray flood(4 << 20, 'x');
    std::thread sender([&] { ::send(conn.fd, flood.constData(), flood.size(), MSG_NOSIGNAL); });
    ASSERT_TRUE(eventually([&] { return p.out().size() > sent.size(); }, 10000));
    EXPECT_EQ(p.status(SIGTERM), 0);
    ::shutdown(conn.fd, SHUT_RDWR);
    sender.join();
    EXPECT_TRUE(p.out() == sent + flood.left(p.out().size() - sent.size())
                && !QFile::exists(iniLog));
    // A reconnect's own state may pass before it is looked at.
    const QString link = "IP:127.0.0.1, " + port;
    const QString expected = "Connecting to 127.0.0.1:" + port + "...\n" + link + ": connected\n"
                             + link + ": lost\nConnection lost (" + link
                             + "); reconnecting every few seconds.\n" + link
                             + ": connected\nConnected again (" + link
                             + ").\nSIGTERM received: the run ends.\n" + link + ": stopped\n";
    EXPECT_EQ(p.lines().remove(link + ": reconnecting\n").toStdString(), expected.toStdString());
}

// The bytes as they came, in the log file, with the INI's auto-reply answering.
TEST_F(ProgramRunTest, headlessSerialCaptureLogsExactlyAnswersTheInisAutoReplyAndEndsOnSigint)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isValid());
    const QString ini = dir.filePath("o.ini");
    const QByteArray iniBytes = "[HotKeys]\nHotKeyText0=ALIVE\nHotKeyReceiveText0=ALIVE?\n"
                                "AutoReply=1\n";
    ASSERT_TRUE(writeFileBytes(ini, iniBytes));
    const QString log = dir.filePath("site.log");
    Program p(dir, {"--headless", "--serial", pty.devicePath(), "--baud", "9600", "--handshake",
                    "none", "--log", log});
    ASSERT_TRUE(eventually([&] { return p.err().contains(": connected\n"); }));
    ASSERT_TRUE(pty.write("T=21.4\r\nALIVE?"));
    EXPECT_EQ(pty.readUntil("\x03"), "\2ALIVE\3");
    const QByteArray tail("\0\xff end\r\n", 8);
    ASSERT_TRUE(pty.write(tail));
    ASSERT_TRUE(eventually([&] { return fileBytes(log).endsWith(tail); }));
    EXPECT_EQ(p.status(SIGINT), 0);
    EXPECT_EQ(fileBytes(log).toStdString(), ("T=21.4\r\nALIVE?\2ALIVE\3" + tail).toStdString());
    const QString link = QFileInfo(pty.devicePath()).fileName() + ",9600,N,8,1,-";
    EXPECT_EQ(p.lines().toStdString(),
              (link + ": connected\nSIGINT received: the run ends.\n" + link + ": stopped\n")
                  .toStdString());
    EXPECT_EQ(fileBytes(ini), iniBytes);
}

TEST_F(ProgramRunTest, aWindowStartedOnASerialLinkRunsAtOnceAndLeavesTheIniAsItWas)
{
    PtyPair pty;
    const QString ini = dir.filePath("o.ini");
    const QByteArray iniBytes = "[Com]\nUseSerial=0\nBaud=19200\n";
    ASSERT_TRUE(writeFileBytes(ini, iniBytes));
    const QString log = dir.filePath("window.log");
    Program p(dir, {"--serial", pty.devicePath(), "--baud", "9600", "--log", log}, "C.UTF-8", true);
    // Written until the port is open: opening it empties the line.
    ASSERT_TRUE(eventually([&] { return pty.write("x") && fileBytes(log).contains('x'); }));
    EXPECT_TRUE(fileBytes(log).count('x') == fileBytes(log).size() && fileBytes(ini) == iniBytes);
}

} // namespace
