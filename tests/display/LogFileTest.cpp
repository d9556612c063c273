#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QDir>
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
#include <utility>

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
        frame.reset();
        const QString ini = dir.filePath(QStringLiteral("o.ini"));
        profile::writeString("Display", "UseLogging", "1", ini);
        profile::writeString("Display", "Logfile", logFile, ini);
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
    // Sends `bytes` from the far end and waits until the display shows at
    // least `shown` more characters and the event loop turned (when the log
    // is written).
    void receive(const QByteArray &bytes, qsizetype shown = 1)
    {
        const qsizetype until = shownText().size() + shown;
        ASSERT_TRUE(link.writeFar(bytes));
        ASSERT_TRUE(eventually([&] { return shownText().size() >= until; }));
        QCoreApplication::processEvents();
    }
    QByteArray shownText() const { return frame->view()->widget()->buffer().text(); }
    QByteArray log() const { return fileBytes(logPath); }
    bool markShown() const { return !frame->findChild<QLabel *>("paneLog")->isHidden(); }
    // Whether the status bar's message `i` says `part`.
    ::testing::AssertionResult told(int i, const QString &part) const
    {
        if (messages.value(i).contains(part))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "message " << i << ": " << messages.value(i).toStdString();
    }

    QTemporaryDir dir;
    QString logPath = dir.filePath(QStringLiteral("terminal.log"));
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
    QStringList messages; // shown in the status bar
};

TEST_F(LogFileTest, logIsAppendedInTheDisplaysModeAndFollowsTheFileBeingMovedOrDeleted)
{
    ASSERT_TRUE(writeFileBytes(logPath, "earlier|"));
    start(logPath);
    const QByteArray block("\x00\x02"
                           "AB\r\nC",
                           7);
    // The first line after the start begins with the time, no empty line before it.
    frame->action(CommandId::Timestamp)->trigger();
    receive(block);
    QByteArray expected = "earlier|05.12.2026 10:22:24.031 - .AB\r\n05.12.2026 10:22:24.031 - C";
    EXPECT_EQ(log(), expected);
    // Text and hex mode log the raw bytes; a switch of mode writes nothing.
    frame->action(CommandId::Timestamp)->trigger();
    receive(block);
    frame->action(CommandId::HexMode)->trigger();
    EXPECT_EQ(log(), expected += block);
    receive(block);
    EXPECT_EQ(log(), expected += block);

    // The file is not held open: moved away or deleted, it comes back with
    // the next block, and the moved file keeps what it had.
    const QString moved = dir.filePath(QStringLiteral("moved.log"));
    ASSERT_TRUE(QFile::rename(logPath, moved));
    receive("3");
    EXPECT_EQ(log(), QByteArray("3"));
    EXPECT_EQ(fileBytes(moved), expected);
    ASSERT_TRUE(QFile::remove(logPath));
    receive("4");
    EXPECT_EQ(log(), QByteArray("4"));
    EXPECT_TRUE(messages.isEmpty());

    // Beyond the 254 characters of the INI field: a cut path would name another file.
    QString folder = dir.path();
    for (int i = 0; folder.size() < 300; ++i)
        folder += QStringLiteral("/") + QString(60, QChar(u'a' + i));
    ASSERT_TRUE(QDir().mkpath(folder));
    // An empty path logs nothing and says nothing.
    for (const QString &path : {folder + "/terminal.log", QString()}) {
        start(path);
        receive("far");
        EXPECT_EQ(fileBytes(path), path.isEmpty() ? "<missing>" : "far");
        EXPECT_EQ(shownText(), QByteArray("far"));
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_FALSE(markShown());
    }
}

// A log that cannot be written: the display goes on, the window never waits
// on the path, the user is told once, and told again when it works again.
TEST_F(LogFileTest, logFaultsAreToldOnceAndSoIsTheirEnd)
{
    const QString fifo = dir.filePath("fifo"), folder = dir.filePath("folder"),
                  missing = dir.filePath("missing/terminal.log"),
                  readOnly = dir.filePath("readonly.log");
    const auto makeFifo = [&] {
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    };
    int fifoReader = -1;
    const struct
    {
        QString path;
        const char *reason;
        std::function<void()> make;
        bool asNobody = false; // the superuser may write anything
    } rows[] = {
        {fifo, "not a regular file", makeFifo}, // no reader: opening it must not wait
        {fifo, "not a regular file",
         [&] {
             makeFifo();
             fifoReader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
         }},
        {folder, "is a folder",
         [&] {
             QDir().mkdir(folder);
         }},
        {missing, "folder does not exist",
         [] {
         }},
        {readOnly, "no permission",
         [&] {
             ASSERT_TRUE(writeFileBytes(readOnly, {}));
             ::chmod(QFile::encodeName(readOnly).constData(), 0444);
             ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
         },
         true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.reason);
        row.make();
        start(row.path);
        const bool nobody = row.asNobody && ::geteuid() == 0;
        if (nobody)
            ::setfsuid(65534); // only this thread's file access
        receive("lost");
        EXPECT_TRUE(markShown());
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(told(0, QDir::toNativeSeparators(row.path)));
        EXPECT_TRUE(told(0, QLatin1String(row.reason)));
        receive("also lost");
        EXPECT_EQ(messages.size(), 1);
        if (nobody)
            ::setfsuid(0);
        if (fifoReader >= 0) {
            char c;
            EXPECT_LE(::read(fifoReader, &c, 1), 0); // nothing went into it
            ::close(std::exchange(fifoReader, -1));
        }
        // The obstacle gone, the log is written again.
        if (!QFile::remove(row.path) && !QDir().rmdir(row.path))
            QDir().mkpath(QFileInfo(row.path).path());
        receive("kept");
        EXPECT_FALSE(markShown());
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(told(1, QStringLiteral("written again; 13 bytes")));
        EXPECT_EQ(fileBytes(row.path), QByteArray("kept"));
        EXPECT_EQ(shownText(), QByteArray("lostalso lostkept"));
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
    EXPECT_TRUE(told(1, QDir::toNativeSeparators(other)));
}

// A file system that fills up: a small tmpfs where the machine lets us mount
// one, otherwise the kernel's file size limit, which fails writes the same way.
TEST_F(LogFileTest, aFullDiskIsToldAndTheLogGoesOnOnceThereIsRoom)
{
    const QString mountPoint = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkdir(mountPoint));
    const QByteArray mountName = QFile::encodeName(mountPoint);
    const bool tmpfs = ::mount("tmpfs", mountName.constData(), "tmpfs", 0, "size=64k") == 0;
    const QString path = (tmpfs ? mountPoint : dir.path()) + QStringLiteral("/terminal.log");
    rlimit oldLimit{};
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    const auto oldXfsz = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = oldLimit;
    small.rlim_cur = 64 * 1024;
    if (!tmpfs)
        ::setrlimit(RLIMIT_FSIZE, &small);

    start(path);
    QByteArray sent;
    for (char c : {'a', 'b', 'c', 'd'}) {
        const QByteArray block(30000, c);
        receive(block, block.size());
        sent += block;
    }
    EXPECT_TRUE(markShown());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(told(0, QLatin1String(tmpfs ? "disk is full" : "largest size")));
    // What fitted is in the log, byte for byte.
    const QByteArray logged = fileBytes(path);
    EXPECT_GT(logged.size(), 0);
    EXPECT_EQ(logged, sent.left(logged.size()));

    // Room again: the log goes on and the user is told how much is missing.
    if (tmpfs)
        QFile::remove(path);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    receive("more");
    EXPECT_FALSE(markShown());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(
        told(1, QStringLiteral("written again; %1 bytes").arg(sent.size() - logged.size())));
    EXPECT_TRUE(fileBytes(path).endsWith("more"));
    frame.reset();
    std::signal(SIGXFSZ, oldXfsz);
    if (tmpfs)
        ::umount2(mountName.constData(), MNT_DETACH);
}

} // namespace
