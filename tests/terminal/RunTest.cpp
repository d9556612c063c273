// A terminal run: start and stop, blocks both ways, restarts, and a flood.
#include "TerminalFixture.h"

#include "platform/PortNotify.h"
#include "ports/ReceivedBlockQueue.h"
#include "support/FileBytes.h"

#include <QFileInfo>

#include <atomic>
#include <thread>

namespace {

using RunTest = TerminalTest;

TEST_F(RunTest, startStopAndAFailedOrAbortedStartLeaveNothingRunningAndSayWhy)
{
    create();
    int started = 0, stopped = 0;
    QObject::connect(terminal.get(), &CTerminal::started, [&] { ++started; });
    QObject::connect(terminal.get(), &CTerminal::stopped, [&] { ++stopped; });
    terminal->OnTerminalStart();
    EXPECT_TRUE(terminal->isRunning() && link.IsOpen() && linkState() == "connected");
    // Start again: refused by the running port, told, and the run goes on.
    terminal->OnTerminalStart();
    EXPECT_TRUE(terminal->isRunning() && ui.events.size() == 2);
    terminal->OnTerminalStop();
    EXPECT_FALSE(terminal->isRunning() || link.IsOpen() || !linkState().isEmpty());
    EXPECT_EQ(std::pair(started, stopped), std::pair(1, 1));

    ui.events.clear();
    testPorts->failOpen = true;
    terminal->OnTerminalStart();
    EXPECT_FALSE(terminal->isRunning());
    EXPECT_EQ(ui.events, QStringList({"beep", "message:Failure opening the serial port!"}));

    // Given up while a connection is awaited: no run, a second start meanwhile ignored.
    testPorts->failOpen = false;
    testPorts->opens = 0;
    QString stateWhileOpening;
    testPorts->whileOpening = [&] {
        stateWhileOpening = linkState();
        terminal->abortStart();
        terminal->OnTerminalStart();
    };
    terminal->OnTerminalStart();
    EXPECT_EQ((std::tuple{stateWhileOpening, testPorts->opens, started}),
              (std::tuple{QString("waiting"), 1, 1}));
    EXPECT_FALSE(terminal->isRunning() || link.IsOpen());

    // A real port says on a second line why it failed.
    ini("Com", "Device", "/dev/ttyUSB98");
    create(true);
    ui.events.clear();
    terminal->OnTerminalStart();
    EXPECT_FALSE(terminal->isRunning());
    EXPECT_EQ(ui.events, QStringList({"beep", "message:Failure opening the serial port!\nNo such "
                                              "device: /dev/ttyUSB98 is not plugged in."}));
}

TEST_F(RunTest, bytesTravelBothWaysAndALostPeerStartsTheRunAgain)
{
    create();
    terminal->OnTerminalStart();
    link.writeFar("AB\r\nCD");
    EXPECT_TRUE(eventually([&] { return displayText() == "AB\nCD"; }));
    EXPECT_EQ(terminal->SendText(QString(300, u'x'), true), CTerminal::SendResult::Sent);
    const QByteArray expected = '\x02' + QByteArray(300, 'x') + "\x03\r\n";
    EXPECT_EQ(link.readFar(expected.size()), expected);
    // The echo continues the line the received text began.
    EXPECT_EQ(displayText(), "AB\nCD" + QByteArray(300, 'x') + "\n\n");
    // Hex mode starts an empty display.
    terminal->setHexMode(true);
    EXPECT_TRUE(displayText().isEmpty());
    terminal->setHexMode(false);
    terminal->OnTerminalStop();
    // A lost link shows what arrived, then starts again; a failing restart stops.
    testPorts->opens = 0;
    terminal->OnTerminalStart();
    QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>("bye"), 3);
    postPortNotify(PortNotifyCode::NetLinkLost);
    EXPECT_TRUE(eventually([&] { return testPorts->opens == 2; }));
    EXPECT_TRUE(terminal->isRunning() && displayText() == "bye");
    testPorts->failOpen = true;
    postPortNotify(PortNotifyCode::NetLinkLost);
    EXPECT_TRUE(eventually([&] { return !terminal->isRunning(); }) && ui.messages.size() == 1u);
}

TEST_F(RunTest, aFloodIsShownInSlicesAndLoggedByteForByte)
{
    create();
    DisplaySettings &display = terminal->settings().display;
    display.displayLimitOn = display.loggingOn = true;
    display.displayLimit = 1 << 20;
    display.logFilePath = dir.filePath("flood.log");
    terminal->OnTerminalStart();
    // Every byte depends on its position: a lost or misplaced block shows in the log.
    QByteArray flood(24 << 20, '\0');
    for (qsizetype i = 0; i < flood.size(); ++i)
        flood[i] = static_cast<char>('A' + (i * 7 + i / 4093) % 26);
    std::atomic<bool> written{false};
    std::thread writer([&] { written = link.writeFar(flood); });
    // Until the event loop runs, the queue fills towards its bound.
    auto &queue = CReceivedBlockQueue::instance();
    QElapsedTimer bound;
    bound.start();
    while (queue.queuedBytes() < 4u << 20 && bound.elapsed() < 60000)
        std::this_thread::yield();
    ASSERT_GE(queue.queuedBytes(), 4u << 20);
    // A call queued now runs while blocks still wait: the window gets its turn mid-flood.
    std::size_t queuedAtTurn = 0;
    QMetaObject::invokeMethod(
        terminal.get(), [&] { queuedAtTurn = queue.queuedBytes(); }, Qt::QueuedConnection);
    const auto logSize = [&] {
        return QFileInfo(display.logFilePath).size();
    };
    EXPECT_TRUE(eventuallyWhileProgressing(
        [&] { return written && queue.queuedBytes() == 0 && logSize() == flood.size(); }, logSize));
    writer.join();
    EXPECT_GT(queuedAtTurn, 0u);
    const qsizetype shown = terminal->display().buffer().length();
    EXPECT_TRUE(shown > 0 && shown <= (1 << 20) + (1 << 16)) << shown;
    EXPECT_TRUE(fileBytes(display.logFilePath) == flood);
}

} // namespace
