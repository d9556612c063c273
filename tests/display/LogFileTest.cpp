#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Received data travels the whole way: the link, the block queue, the
// display and its log.
class LogFileTest : public ::testing::Test
{
protected:
    LogFileTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        setClockForTesting([] { return LocalTime{2026, 12, 5, 10, 22, 24, 31}; });
    }
    ~LogFileTest() override
    {
        frame.reset();
        setClockForTesting({});
    }

    void start(const QString &logFile)
    {
        const QString ini = dir.filePath(QStringLiteral("o.ini"));
        profile::writeString(QStringLiteral("Display"), QStringLiteral("UseLogging"),
                             QStringLiteral("1"), ini);
        profile::writeString(QStringLiteral("Display"), QStringLiteral("Logfile"), logFile, ini);
        frame = std::make_unique<CMainFrame>(ini, std::make_unique<CTestPorts>(&link));
        messages.clear();
        QObject::connect(frame->statusBar(), &QStatusBar::messageChanged, frame.get(),
                         [this](const QString &m) {
                             if (!m.isEmpty())
                                 messages << m;
                         });
        frame->OnTerminalStart();
        ASSERT_TRUE(frame->isRunning());
    }
    // Sends `bytes` from the far end and waits until the display grew and
    // the event loop turned (when the log is written).
    void receive(const QByteArray &bytes)
    {
        const qsizetype before = shownLength();
        ASSERT_TRUE(link.writeFar(bytes));
        ASSERT_TRUE(eventually([&] { return shownLength() > before; }));
        QCoreApplication::processEvents();
    }
    // The same for a block shown unchanged, all of it.
    void receiveWhole(const QByteArray &bytes)
    {
        const qsizetype until = shownLength() + bytes.size();
        ASSERT_TRUE(link.writeFar(bytes));
        ASSERT_TRUE(eventually([&] { return shownLength() >= until; }));
        QCoreApplication::processEvents();
    }
    qsizetype shownLength() const { return frame->view()->widget()->buffer().length(); }
    QByteArray log(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QByteArray log() const { return log(logPath); }
    bool markShown() const
    {
        return !frame->findChild<QLabel *>(QStringLiteral("paneLog"))->isHidden();
    }

    QTemporaryDir dir;
    QString logPath = dir.filePath(QStringLiteral("terminal.log"));
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
    QStringList messages; // shown in the status bar
};

TEST_F(LogFileTest, eachDisplayModeLogsItsOwnContent)
{
    const QByteArray block("\x00\x02"
                           "AB\r\nC",
                           7);
    const struct
    {
        int mode; // 0 text, 1 text with timestamps, 2 hex
        QByteArray log;
    } rows[] = {
        {0, block},
        // The first line after the start begins with the time, no empty line before it.
        {1, "05.12.2026 10:22:24.031 - .AB\r\n05.12.2026 10:22:24.031 - C"},
        {2, block},
    };
    for (const auto &row : rows) {
        QFile::remove(logPath);
        start(logPath);
        if (row.mode == 1)
            frame->action(CommandId::Timestamp)->trigger();
        if (row.mode == 2)
            frame->action(CommandId::HexMode)->trigger();
        receive(block);
        EXPECT_EQ(log(), row.log) << row.mode;
        frame.reset();
    }
}

TEST_F(LogFileTest, logIsAppendedAndFollowsTheModeSwitchTheFileBeingMovedOrDeleted)
{
    QFile old(logPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier|");
    old.close();
    start(logPath);
    frame->action(CommandId::Timestamp)->trigger();
    receive("one\n");
    // Hex mode logs raw bytes from the next block on; the switch writes nothing.
    frame->action(CommandId::HexMode)->trigger();
    EXPECT_EQ(log(), QByteArray("earlier|05.12.2026 10:22:24.031 - one\n"));
    receive("\x01two");
    EXPECT_EQ(log(), QByteArray("earlier|05.12.2026 10:22:24.031 - one\n\x01two"));

    // The file is not held open: moved away or deleted, it comes back with
    // the next block, and the moved file keeps what it had.
    const QString moved = dir.filePath(QStringLiteral("moved.log"));
    ASSERT_TRUE(QFile::rename(logPath, moved));
    receive("3");
    EXPECT_EQ(log(), QByteArray("3"));
    EXPECT_EQ(log(moved), QByteArray("earlier|05.12.2026 10:22:24.031 - one\n\x01two"));
    ASSERT_TRUE(QFile::remove(logPath));
    receive("4");
    EXPECT_EQ(log(), QByteArray("4"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LogFileTest, aPathLongerThanTheIniFieldIsUsedWhole)
{
    // Beyond the 254 characters of the INI field: a cut path would name another file.
    QString folder = dir.path();
    for (int i = 0; folder.size() < 300; ++i)
        folder += QStringLiteral("/") + QString(60, QChar(u'a' + i));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/terminal.log");
    start(path);
    receive("far");
    EXPECT_EQ(log(path), QByteArray("far"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LogFileTest, anEmptyPathLogsNothingAndSaysNothing)
{
    start(QString());
    receive("data");
    EXPECT_EQ(frame->view()->widget()->buffer().text(), QByteArray("data"));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(markShown());
}

// A log that cannot be written: the display goes on, the window never waits
// on the path, the user is told once, and told again when it works again.
TEST_F(LogFileTest, logFaultsAreToldOnceAndSoIsTheirEnd)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    const QString folder = dir.filePath(QStringLiteral("folder"));
    const QString missing = dir.filePath(QStringLiteral("missing/terminal.log"));
    const QString readOnly = dir.filePath(QStringLiteral("readonly.log"));
    int fifoReader = -1;
    // The superuser may write anything: a read-only file is tried as nobody.
    const bool root = ::geteuid() == 0;
    const struct
    {
        const char *what;
        QString path;
        const char *reason;
        std::function<void()> make;
        std::function<void()> mend;
        bool asNobody = false;
    } rows[] = {
        {"FIFO without a reader", fifo, "not a regular file",
         [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0); },
         [&] {
             QFile::remove(fifo);
         }},
        {"FIFO with a reader", fifo, "not a regular file",
         [&] {
             ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
             fifoReader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
         },
         [&] {
             char c;
             EXPECT_LE(::read(fifoReader, &c, 1), 0); // nothing went into it
             ::close(fifoReader);
             QFile::remove(fifo);
         }},
        {"folder", folder, "is a folder", [&] { QDir().mkdir(folder); },
         [&] {
             QDir().rmdir(folder);
         }},
        {"missing folder", missing, "folder does not exist", [] {},
         [&] {
             QDir().mkpath(QFileInfo(missing).path());
         }},
        {"read-only file", readOnly, "no permission",
         [&] {
             QFile f(readOnly);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.close();
             ::chmod(QFile::encodeName(readOnly).constData(), 0444);
             ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
         },
         [&] { ::chmod(QFile::encodeName(readOnly).constData(), 0666); }, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        row.make();
        start(row.path);
        if (row.asNobody && root)
            ::setfsuid(65534); // only this thread's file access
        receive("lost");
        EXPECT_TRUE(markShown());
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QDir::toNativeSeparators(row.path)))
            << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QLatin1String(row.reason))) << messages[0].toStdString();
        receive("also lost");
        EXPECT_EQ(messages.size(), 1);
        if (row.asNobody && root)
            ::setfsuid(0);

        row.mend();
        receive("kept");
        EXPECT_FALSE(markShown());
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[1].contains(QStringLiteral("written again; 13 bytes")))
            << messages[1].toStdString();
        EXPECT_EQ(log(row.path), QByteArray("kept"));
        EXPECT_EQ(frame->view()->widget()->buffer().text(), QByteArray("lostalso lostkept"));
        frame.reset();
        QFile::remove(row.path);
    }

    // Another log that fails too is a fault of its own, told again.
    start(dir.filePath(QStringLiteral("gone/terminal.log")));
    receive("lost");
    const QString other = dir.filePath(QStringLiteral("elsewhere/terminal.log"));
    frame->settings().display.logFilePath = other;
    receive("lost too");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains(QDir::toNativeSeparators(other))) << messages[1].toStdString();
}

// A file system that fills up: a small tmpfs where the machine lets us mount
// one, otherwise the kernel's file size limit, which fails writes the same way.
TEST_F(LogFileTest, aFullDiskIsToldAndTheLogGoesOnOnceThereIsRoom)
{
    const QString mountPoint = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkdir(mountPoint));
    const bool tmpfs
        = ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") == 0;
    const QString path = (tmpfs ? mountPoint : dir.path()) + QStringLiteral("/terminal.log");
    rlimit oldLimit{};
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    const auto oldXfsz = std::signal(SIGXFSZ, SIG_IGN);
    if (!tmpfs) {
        rlimit small = oldLimit;
        small.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }

    start(path);
    QByteArray sent;
    for (int i = 0; i < 4; ++i) {
        const QByteArray block(30000, static_cast<char>('a' + i));
        receiveWhole(block);
        sent += block;
    }
    EXPECT_TRUE(markShown());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QLatin1String(tmpfs ? "disk is full" : "largest size")))
        << messages[0].toStdString();
    // What fitted is in the log, byte for byte.
    const QByteArray logged = log(path);
    EXPECT_GT(logged.size(), 0);
    EXPECT_EQ(logged, sent.left(logged.size()));

    // Room again: the log goes on and the user is told how much is missing.
    if (tmpfs)
        QFile::remove(path);
    else
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    receive("more");
    EXPECT_FALSE(markShown());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains(
        QStringLiteral("written again; %1 bytes").arg(sent.size() - logged.size())))
        << messages[1].toStdString();
    EXPECT_TRUE(log(path).endsWith("more"));

    frame.reset();
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldXfsz);
    if (tmpfs)
        ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
}

} // namespace
