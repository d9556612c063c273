#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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
        frame->OnTerminalStart();
        ASSERT_TRUE(frame->isRunning());
    }
    // Sends `bytes` from the far end and waits until the display grew.
    void receive(const QByteArray &bytes)
    {
        const qsizetype before = shownLength();
        ASSERT_TRUE(link.writeFar(bytes));
        ASSERT_TRUE(eventually([&] { return shownLength() > before; }));
    }
    qsizetype shownLength() const { return frame->view()->widget()->buffer().length(); }
    QByteArray log() const
    {
        QFile f(logPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir;
    QString logPath = dir.filePath(QStringLiteral("terminal.log"));
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
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

TEST_F(LogFileTest, logIsAppendedBlockByBlockAndFollowsTheModeSwitch)
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

    // The file is not held open: deleted, it comes back with the next block.
    ASSERT_TRUE(QFile::remove(logPath));
    receive("3");
    EXPECT_EQ(log(), QByteArray("3"));
}

TEST_F(LogFileTest, aLogThatCannotBeWrittenIsSkippedSilently)
{
    for (const QString &bad :
         {QString(), dir.filePath(QStringLiteral("no/such/folder/x.log")), dir.path()}) {
        start(bad);
        receive("data");
        EXPECT_EQ(frame->view()->widget()->buffer().text(), QByteArray("data"));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("no/such/folder/x.log"))));
        frame.reset();
    }
}

} // namespace
