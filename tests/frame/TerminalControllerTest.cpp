#include "display/DisplayWidget.h"
#include "display/ReceivedBlockQueue.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "input/InputEdit.h"
#include "platform/Clock.h"
#include "platform/PortNotify.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

class TerminalControllerTest : public ::testing::Test
{
protected:
    TerminalControllerTest()
    {
        auto ports = std::make_unique<CTestPorts>(&link);
        testPorts = ports.get();
        frame
            = std::make_unique<CMainFrame>(dir.filePath(QStringLiteral("o.ini")), std::move(ports));
        frame->show();
        setClockForTesting([] { return LocalTime{2026, 12, 5, 10, 22, 24, 31}; });
    }
    ~TerminalControllerTest() override
    {
        frame.reset();
        setClockForTesting({});
    }

    QByteArray displayText() const { return frame->view()->widget()->buffer().text(); }
    bool checked(int id) const { return frame->action(id)->isChecked(); }
    bool enabled(int id) const { return frame->action(id)->isEnabled(); }
    // Lets the event loop run until the display shows `count` characters.
    bool waitForDisplay(qsizetype count, int ms = 5000)
    {
        return eventually([&] { return displayText().size() >= count; }, ms);
    }

    QTemporaryDir dir;
    RecordingUiServices ui;
    CTestLinkPort link;
    CTestPorts *testPorts = nullptr;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(TerminalControllerTest, startAndStopSwitchStateAndInputs)
{
    EXPECT_FALSE(frame->isRunning());
    EXPECT_FALSE(frame->textInput()->isEnabled());
    EXPECT_TRUE(checked(CommandId::TerminalStop));
    EXPECT_FALSE(checked(CommandId::TerminalStart));
    EXPECT_TRUE(enabled(CommandId::LoadSettings));
    EXPECT_FALSE(enabled(CommandId::SendInputText));

    frame->textInput()->setPlainText(QStringLiteral("left over"));
    frame->OnTerminalStart();
    EXPECT_TRUE(frame->isRunning());
    EXPECT_TRUE(frame->textInput()->isEnabled());
    EXPECT_TRUE(frame->textInput()->toPlainText().isEmpty());
    EXPECT_TRUE(checked(CommandId::TerminalStart));
    EXPECT_FALSE(checked(CommandId::TerminalStop));
    EXPECT_FALSE(enabled(CommandId::LoadSettings));
    EXPECT_TRUE(enabled(CommandId::SendInputText));
    EXPECT_TRUE(ui.messages.empty());

    frame->OnTerminalStop();
    EXPECT_FALSE(frame->isRunning());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(frame->textInput()->isEnabled());
    EXPECT_TRUE(checked(CommandId::TerminalStop));
}

TEST_F(TerminalControllerTest, failedOpenBeepsShowsTheMessageAndStaysStopped)
{
    testPorts->failOpen = true;
    frame->OnTerminalStart();
    EXPECT_FALSE(frame->isRunning());
    ASSERT_EQ(ui.events, QStringList({QStringLiteral("beep"),
                                      QStringLiteral("message:Failure opening the serial port!")}));
    EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Stop);
    EXPECT_FALSE(frame->textInput()->isEnabled());
    EXPECT_TRUE(checked(CommandId::TerminalStop));
}

TEST_F(TerminalControllerTest, bytesTravelBothWaysThroughTheDisplay)
{
    frame->settings().display.timestampPerLine = true;
    frame->OnTerminalStart();
    link.writeFar("AB\r\nCD");
    ASSERT_TRUE(waitForDisplay(57));
    EXPECT_EQ(displayText(), QByteArray("05.12.2026 10:22:24.031 - AB\n"
                                        "05.12.2026 10:22:24.031 - CD"));

    frame->textInput()->setPlainText(QString(300, u'x'));
    QTest::keyClick(frame->textInput(), Qt::Key_Return);
    const QByteArray expected = '\x02' + QByteArray(300, 'x') + "\x03\r\n";
    EXPECT_EQ(link.readFar(expected.size()), expected);
    EXPECT_EQ(link.blockSizes(), (std::vector<std::uint32_t>{255, 49}));
    EXPECT_TRUE(frame->textInput()->toPlainText().isEmpty());
    // The echo is red and continues the line the received text began.
    const auto &runs = frame->view()->widget()->buffer().colorRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].color, CRuKTerminalView::kReceivedColor);
    EXPECT_EQ(runs[1].color, CRuKTerminalView::kSentColor);
    EXPECT_TRUE(
        displayText().endsWith("CD" + QByteArray(300, 'x') + "\n05.12.2026 10:22:24.031 - \n"));
}

TEST_F(TerminalControllerTest, hexModeEmptiesTheDisplayAndSwapsTheInputs)
{
    frame->OnTerminalStart();
    link.writeFar("abc");
    ASSERT_TRUE(waitForDisplay(3));
    EXPECT_TRUE(eventually([&] { return frame->textInput()->isVisible(); }));
    EXPECT_FALSE(frame->hexInput()->isVisible());
    frame->action(CommandId::HexMode)->trigger();
    EXPECT_TRUE(displayText().isEmpty());
    EXPECT_TRUE(eventually([&] { return frame->hexInput()->isVisible(); }));
    EXPECT_FALSE(frame->textInput()->isVisible());
    EXPECT_TRUE(checked(CommandId::HexMode));
    link.writeFar("\x01\xFF");
    ASSERT_TRUE(waitForDisplay(7));
    EXPECT_EQ(displayText(), QByteArray("\n01 FF "));
    frame->action(CommandId::HexMode)->trigger();
    EXPECT_TRUE(displayText().isEmpty());
    EXPECT_TRUE(eventually([&] { return frame->textInput()->isVisible(); }));
}

TEST_F(TerminalControllerTest, linkLossShowsWhatArrivedThenStartsAgain)
{
    // Blocks not yet shown when the user stops are dropped.
    frame->OnTerminalStart();
    const std::uint8_t late[] = {'l', 'a', 't', 'e'};
    QueueReceivedBlock(late, 4);
    frame->OnTerminalStop();
    QCoreApplication::processEvents();
    EXPECT_TRUE(displayText().isEmpty());
    EXPECT_EQ(CReceivedBlockQueue::instance().queuedBlocks(), 0u);

    testPorts->opens = 0;
    frame->OnTerminalStart();
    EXPECT_EQ(testPorts->opens, 1);
    const std::uint8_t data[] = {'b', 'y', 'e'};
    QueueReceivedBlock(data, 3);
    postPortNotify(1);
    EXPECT_TRUE(eventually([&] { return testPorts->opens == 2; }));
    EXPECT_TRUE(frame->isRunning());
    EXPECT_EQ(displayText(), QByteArray("bye"));
    // A restart that fails leaves the terminal stopped with its message.
    testPorts->failOpen = true;
    frame->OnPortNotify(1);
    EXPECT_FALSE(frame->isRunning());
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(TerminalControllerTest, closingWhileAConnectionIsAwaitedEndsTheWaitThenCloses)
{
    bool closedDuringOpen = true;
    testPorts->whileOpening = [&] {
        frame->close();
        closedDuringOpen = !frame->isVisible();
        frame->OnTerminalStart(); // a second start while waiting is ignored
    };
    frame->OnTerminalStart();
    EXPECT_FALSE(closedDuringOpen);
    EXPECT_EQ(testPorts->opens, 1);
    EXPECT_FALSE(frame->isRunning());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(eventually([&] { return !frame->isVisible(); }));
}

TEST_F(TerminalControllerTest, aFloodIsShownInSlicesAndLoggedByteForByte)
{
    DisplaySettings &display = frame->settings().display;
    display.displayLimitOn = true;
    display.displayLimit = 1 << 20;
    display.loggingOn = true;
    display.logFilePath = dir.filePath(QStringLiteral("flood.log"));
    frame->OnTerminalStart();
    // Every byte depends on its position: a lost or misplaced block shows in the log.
    QByteArray flood(24 << 20, '\0');
    for (qsizetype i = 0; i < flood.size(); ++i)
        flood[i] = static_cast<char>('A' + (i * 7 + i / 4093) % 26);
    std::atomic<bool> written{false};
    std::thread writer([&] {
        link.writeFar(flood);
        written = true;
    });
    // Until the event loop runs, nothing is shown: the queue fills towards its bound.
    auto &queue = CReceivedBlockQueue::instance();
    QElapsedTimer bound;
    bound.start();
    while (queue.queuedBytes() < 4u << 20 && bound.elapsed() < 60000)
        std::this_thread::yield();
    ASSERT_GE(queue.queuedBytes(), 4u << 20);
    // A call queued now runs after the first slice, while blocks still wait:
    // the window gets its turn in the middle of a flood.
    std::size_t queuedAtTurn = 0;
    QMetaObject::invokeMethod(
        frame.get(), [&] { queuedAtTurn = queue.queuedBytes(); }, Qt::QueuedConnection);
    const auto logSize = [&] {
        return QFileInfo(display.logFilePath).size();
    };
    EXPECT_TRUE(eventuallyWhileProgressing(
        [&] { return written && queue.queuedBytes() == 0 && logSize() == flood.size(); }, logSize));
    writer.join();
    EXPECT_GT(queuedAtTurn, 0u);
    const qsizetype shown = frame->view()->widget()->buffer().length();
    EXPECT_GT(shown, 0);
    EXPECT_LE(shown, (1 << 20) + (1 << 16));
    QFile log(display.logFilePath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll() == flood);
}

} // namespace
