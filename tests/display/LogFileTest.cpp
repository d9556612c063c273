#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "support/DiskFull.h"
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

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Received data travels the whole way: the link, the block queue, the display and its log.
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
    // Sends `bytes` from the far end; back once shown and the log written.
    void receive(const QByteArray &bytes)
    {
        const qsizetype until = shownText().size() + 1;
        ASSERT_TRUE(link.writeFar(bytes));
        ASSERT_TRUE(eventually([&] { return shownText().size() >= until; }));
        QCoreApplication::processEvents();
    }
    QByteArray shownText() const { return frame->view()->widget()->buffer().text(); }
    QByteArray log() const { return fileBytes(logPath); }
    bool markShown() const { return !frame->findChild<QLabel *>("paneLog")->isHidden(); }
    // Whether the status bar showed `count` messages, the last of them saying each of `parts`.
    ::testing::AssertionResult told(int count, const QStringList &parts = {}) const
    {
        bool ok = messages.size() == count;
        for (const QString &part : parts)
            ok = ok && messages.last().contains(part);
        return ok ? ::testing::AssertionSuccess()
                  : ::testing::AssertionFailure() << messages.join('|').toStdString();
    }

    QTemporaryDir dir;
    QString logPath = dir.filePath(QStringLiteral("terminal.log"));
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
    QStringList messages; // shown in the status bar
};

TEST_F(LogFileTest, logIsAppendedInTheDisplaysMode)
{
    ASSERT_TRUE(writeFileBytes(logPath, "earlier|"));
    start(logPath);
    const QByteArray block = QByteArray("\x00\x02", 2) + "AB\r\nC";
    // The first line after the start begins with the time, no empty line before it.
    frame->action(CommandId::Timestamp)->trigger();
    receive(block);
    QByteArray expected = "earlier|05.12.2026 10:22:24.031 - .AB\r\n05.12.2026 10:22:24.031 - C";
    EXPECT_EQ(log(), expected);
    // Text and hex mode log the raw bytes; a switch of mode writes nothing.
    frame->action(CommandId::Timestamp)->trigger();
    receive(block);
    frame->action(CommandId::HexMode)->trigger();
    receive(block);
    receive("Z"); // a block of one byte
    frame->action(CommandId::HexMode)->trigger();
    frame->settings().display.charMappingOn = true; // mapped on show, logged raw once
    receive(block);
    EXPECT_EQ(log(), expected += block + block + "Z" + block);
}

// An unwritable log: the display goes on, nothing waits on it; told once, and again once it works.
TEST_F(LogFileTest, logFaultsAreToldOnceAndSoIsTheirEnd)
{
    const QString fifo = dir.filePath("fifo"), folder = dir.filePath("folder"),
                  readOnly = dir.filePath("readonly.log");
    const struct
    {
        QString path;
        const char *reason;
        bool reader = false;
    } rows[] = {
        {fifo, "not a regular file"}, // no reader: opening it must not wait
        {fifo, "not a regular file", true},
        {folder, "is a folder"},
        {dir.filePath("missing/terminal.log"), "folder does not exist"},
        {readOnly, "no permission"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.reason);
        const QByteArray name = QFile::encodeName(row.path);
        if (row.path == fifo)
            ::mkfifo(name.constData(), 0600);
        const int reader = row.reader ? ::open(name.constData(), O_RDONLY | O_NONBLOCK) : -1;
        ASSERT_TRUE(row.path != folder || QDir().mkdir(folder));
        ASSERT_TRUE(row.path != readOnly
                    || (writeFileBytes(readOnly, {}) && ::chmod(name.constData(), 0444) == 0));
        start(row.path);
        const bool nobody = row.path == readOnly && ::geteuid() == 0;
        if (nobody)
            ::setfsuid(65534); // only this thread's file access: the superuser writes anything
        receive("lost");
        receive("also lost");
        EXPECT_TRUE(markShown() && told(1, {QDir::toNativeSeparators(row.path), row.reason}));
        if (nobody)
            ::setfsuid(0);
        char c;
        EXPECT_TRUE(reader < 0 || ::read(reader, &c, 1) <= 0); // nothing went into it
        ::close(reader);
        // The obstacle gone, the log is written again.
        if (!QFile::remove(row.path) && !QDir().rmdir(row.path))
            QDir().mkpath(QFileInfo(row.path).path());
        receive("kept");
        EXPECT_TRUE(!markShown() && told(2, {"written again; 13 bytes"}));
        EXPECT_EQ(fileBytes(row.path) + '|' + shownText(), "kept|lostalso lostkept");
        QFile::remove(row.path);
    }
    // Another log that fails too is a fault of its own, told again.
    start(dir.filePath(QStringLiteral("gone/terminal.log")));
    receive("lost");
    const QString other = dir.filePath(QStringLiteral("elsewhere/terminal.log"));
    frame->settings().display.logFilePath = other;
    receive("lost too");
    EXPECT_TRUE(told(2, {QDir::toNativeSeparators(other)}));
}

// The kernel's file size limit fails writes as a full disk does.
TEST_F(LogFileTest, aFullDiskIsToldAndTheLogGoesOnOnceThereIsRoom)
{
    start(logPath);
    withDiskFullAt(10, [&] {
        receive("0123456789abcdef");
        receive("more lost");
    });
    EXPECT_TRUE(markShown() && told(1, {"largest size"}));
    EXPECT_EQ(log(), QByteArray("0123456789")); // what fitted, byte for byte
    receive("more");
    EXPECT_TRUE(!markShown() && told(2, {"written again; 15 bytes"}));
    EXPECT_EQ(log(), QByteArray("0123456789more"));
}

} // namespace
