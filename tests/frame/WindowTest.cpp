// The main window as a user meets it: its commands, panes and bars, the keys,
// the inputs, the display's commands, starting and stopping, and what its
// links say.
#include "SendingFixture.h"

#include "display/FindBar.h"
#include "display/ReceivedBlockQueue.h"
#include "frame/CommandIds.h"
#include "frame/MainWindowIndicators.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "platform/PortNotify.h"
#include "ports/ComPort.h"
#include "support/FileBytes.h"
#include "support/Pty.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <atomic>
#include <thread>

namespace {

using namespace CommandId;

class MainWindowTest : public WindowTest
{
protected:
    int led(const char *name) const { return child<QProgressBar>(name)->value(); }
    static bool focus(QWidget *w)
    {
        return eventually([w] {
            QApplication::setActiveWindow(w->window());
            w->setFocus();
            return w->hasFocus();
        });
    }
};

TEST_F(MainWindowTest, hotKeyBarShowsItsCaptionsAndThePointerItsPrompt)
{
    hotKey(0, "AT");
    hotKey(11, "R&K");
    create();
    const CHotKeyBar *keys = frame->hotKeyBar();
    hotKey(5, "ATZ");
    frame->LoadSettings();
    EXPECT_EQ(QStringList({keys->button(0)->text(), keys->button(5)->text(),
                           keys->button(6)->text(), keys->button(11)->text()}),
              QStringList({"F1: AT", "F6: ATZ", "F7: ", "F12: R&&K"}));
    // The status bar prompts for what the pointer is on, and says Ready once it leaves.
    QWidget *button = keys->button(2);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(status(), "Sends the text of hotkey F3");
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(status(), "");
    EXPECT_EQ(pane("paneMessage"), "Ready");
}

TEST_F(MainWindowTest, commandsAndTheInputFollowTheTerminalStateAndAFailedStartOrCloseIsDealtWith)
{
    create();
    // Enabled and checked, stopped and running.
    const std::pair<const char *, std::vector<int>> rows[] = {
        {"1011", {TerminalStart}},
        {"1110", {TerminalStop}},
        {"0010", {SendFile, ReceivePrinterFile}},
        {"1000", {PortSettings}},
        {"1010", {SaveSettings, HotKeys}},
        {"0000", {CancelPrinterReception}},
    };
    frame->textInput()->setPlainText("left over");
    for (const bool running : {false, true, false}) {
        running ? frame->OnTerminalStart() : frame->OnTerminalStop();
        EXPECT_EQ(frame->isRunning(), running);
        EXPECT_EQ(link.IsOpen(), running);
        EXPECT_EQ(frame->textInput()->isEnabled(), running);
        for (const auto &[states, ids] : rows) {
            for (const int id : ids) {
                const QAction *a = action(id);
                EXPECT_EQ(QString("%1%2").arg(a->isEnabled()).arg(a->isChecked()),
                          QString(states).mid(running ? 2 : 0, 2))
                    << id << running;
            }
        }
    }
    EXPECT_TRUE(frame->textInput()->toPlainText().isEmpty()); // a start empties it
    EXPECT_TRUE(ui.messages.empty());

    testPorts->failOpen = true;
    frame->OnTerminalStart();
    EXPECT_FALSE(frame->isRunning() || frame->textInput()->isEnabled());
    EXPECT_TRUE(action(TerminalStop)->isChecked());
    EXPECT_EQ(ui.events, QStringList({"beep", "message:Failure opening the serial port!"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Stop);

    // Closing while a connection is awaited ends the wait, then closes.
    testPorts->failOpen = false;
    testPorts->opens = 0;
    bool closedDuringOpen = true;
    testPorts->whileOpening = [&] {
        frame->close();
        closedDuringOpen = !frame->isVisible();
        frame->OnTerminalStart(); // a second start while waiting is ignored
    };
    frame->OnTerminalStart();
    EXPECT_FALSE(closedDuringOpen);
    EXPECT_EQ(testPorts->opens, 1);
    EXPECT_FALSE(frame->isRunning() || link.IsOpen());
    EXPECT_TRUE(eventually([&] { return !frame->isVisible(); }));
}

TEST_F(MainWindowTest, portPaneShowsEachPortKind)
{
    const std::pair<const char *, const char *> rows[] = {
        {"", "COM1,19200,N,8,1,H"},
        {"[Com]\nParity=3\n", "COM1,19200,?,8,1,H"},
        {"[Com]\nParity=-1\nProtocol=9\n", "COM1,19200,?,8,1,?"},
        {"[Com]\nPort=3\nBaud=9600\nParity=2\nDataBits=7\nStopBits=2\nProtocol=0\n",
         "COM3,9600,O,7,2,-"},
        {"[Com]\nParity=1\nProtocol=1\n", "COM1,19200,E,8,1,X"},
        {"[Com]\nProtocol=4\nDevice=/dev/ttyUSB0\n", "ttyUSB0,19200,N,8,1,H"},
        {"[Com]\nUseSerial=2\n", "USB"},
        {"[Com]\nUseSerial=0\n", "IP:192.168.0.1, 9100"},
        {"[Com]\nUseSerial=0\n[Net]\nIPAdr=\nPortNum=4001\n", "IP:???.???.???.???, 4001"},
    };
    for (const auto &[file, shown] : rows) {
        ASSERT_TRUE(writeFileBytes(iniPath, file));
        create();
        EXPECT_EQ(pane("panePort"), shown) << file;
    }
}

TEST_F(MainWindowTest, indicatorsAndProgressFollowThePort)
{
    start();
    child<QTimer>("refreshTimer")->stop(); // the test drives the refresh, one period at a time
    link.holdWriter(true);
    const QByteArray data(1000, 'x');
    QProgressBar *progress = child<QProgressBar>("sendProgress");
    frame->StartSendProgress(frame->currentPort()->Write(data.constData(), int(data.size())));
    EXPECT_TRUE(progress->isVisible() && progress->maximum() == 4);
    // While blocks wait, the send indicator blinks between full and half.
    std::vector<int> positions;
    for (int i = 0; i < 3; ++i) {
        frame->OnRefreshTimer();
        positions.push_back(led("sendLed"));
    }
    EXPECT_EQ(positions, (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(pane("sendPercent"), "0%");
    // A send right after another may be told the last blocks of the one before.
    EXPECT_EQ(indicators::percentText(3, 4) + indicators::percentText(6, 4), "75%100%");

    link.holdWriter(false);
    EXPECT_EQ(link.readFar(data.size()), data);
    ASSERT_TRUE(eventually([&] { return !frame->currentPort()->IsWritePending(); }));
    frame->OnRefreshTimer();
    EXPECT_EQ(led("sendLed"), 0);
    EXPECT_FALSE(progress->isVisible() || !pane("sendPercent").isEmpty());
    // Stop ends a transfer on show at once.
    link.holdWriter(true);
    frame->StartSendProgress(frame->currentPort()->Write("abc", 3));
    frame->OnTerminalStop();
    EXPECT_FALSE(progress->isVisible() || !pane("sendPercent").isEmpty());
    link.holdWriter(false);
}

TEST_F(MainWindowTest, editAndDisplayCommandsActWhereTheUserIs)
{
    create();
    CDisplayWidget *display = frame->view()->widget();
    // The display's context menu holds the window's own actions.
    std::unique_ptr<QMenu> menu(display->createContextMenu(nullptr));
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ((QList<QAction *>{items[0], items[1], items[9]}),
              (QList<QAction *>{action(EditCopy), action(EditSelectAll), action(HexMode)}));
    EXPECT_EQ(items[4]->text(), "Clear display");

    // Select all and Copy act on the display when it has the focus.
    frame->view()->AppendToDisplay(reinterpret_cast<const std::uint8_t *>("shown text"), 10, true);
    ASSERT_TRUE(focus(display));
    EXPECT_FALSE(action(EditCut)->isEnabled());
    items[1]->trigger();
    action(EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "shown text");
    items[4]->trigger();
    EXPECT_TRUE(display->plainText().isEmpty());

    // In the text input they act on the text; Ctrl+F opens the find bar while
    // typing and Escape goes back to the input.
    frame->OnTerminalStart();
    CInputEdit *input = frame->textInput();
    ASSERT_TRUE(focus(input));
    QTest::keyClicks(input, "typed");
    EXPECT_TRUE(action(EditCut)->isEnabled());
    QTest::keyClick(input, Qt::Key_F, Qt::ControlModifier);
    auto *findText = frame->view()->findBar()->findChild<QLineEdit *>("findText");
    ASSERT_TRUE(eventually([&] { return findText->hasFocus(); }));
    QTest::keyClick(findText, Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return input->hasFocus(); }));
    action(EditSelectAll)->trigger();
    action(EditCut)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "typed");
    EXPECT_TRUE(input->toPlainText().isEmpty());

    // Hex mode from the menu; Copy in the hex input copies its bytes.
    items[9]->trigger();
    EXPECT_TRUE(frame->settings().display.hexMode && action(HexMode)->isChecked());
    setHex("AB");
    ASSERT_TRUE(focus(frame->hexEdit()));
    action(EditSelectAll)->trigger();
    action(EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(CHexEdit::kBinaryMime), "AB");
}

TEST_F(MainWindowTest, keysStartAndStopWhileTypingAndTypedTextsAreRecalledAndKept)
{
    hotKey(0, "FROM A HOTKEY");
    hotKey(11, "ALIVE");
    ini("HotKeys", "HotKeyReceiveText11", "ALIVE?");
    ini("HotKeys", "AutoReply", "2048");
    create();
    const QKeySequence start = action(TerminalStart)->shortcut();
    const QKeySequence stop = action(TerminalStop)->shortcut();
    QTest::keySequence(frame.get(), start);
    ASSERT_TRUE(frame->isRunning());
    CInputEdit *input = frame->textInput();
    ASSERT_TRUE(eventually([&] { return input->hasFocus(); }));
    for (const char *typed : {"READ", "VER"}) {
        QTest::keyClicks(input, typed);
        QTest::keyClick(input, Qt::Key_Return);
    }
    frame->FireHotKey(0);
    EXPECT_EQ(sentSoFar(), "\2READ\3\r\n\2VER\3\r\n\2FROM A HOTKEY\3");
    QTest::keyClick(input, Qt::Key_Up); // what was typed, not what the hotkey sent
    EXPECT_EQ(input->toPlainText(), "VER");

    // An auto-reply and Start again leave what the user is typing alone.
    input->clear();
    QTest::keyClicks(input, "SET 2");
    ASSERT_TRUE(link.writeFar("\2ALIVE?\3"));
    ASSERT_TRUE(eventually([&] { return displayText().contains("ALIVE?"); }));
    QTest::keySequence(input, start);
    EXPECT_TRUE(frame->isRunning());
    EXPECT_EQ(sentSoFar(), "\2ALIVE\3");
    QTest::keyClicks(input, "2.5");
    EXPECT_EQ(input->toPlainText(), "SET 22.5");

    // Pasted lines: each goes out as a text of its own, and the user is told.
    input->clear();
    QApplication::clipboard()->setText("SET 22.5\r\n\r\nREAD\r\n");
    input->paste();
    EXPECT_TRUE(status().startsWith("2 lines in the input"));
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(sentSoFar(), "\2SET 22.5\3\r\n\2READ\3\r\n");
    QTest::keySequence(input, stop);
    EXPECT_FALSE(frame->isRunning());

    // The same in the hex input.
    action(HexMode)->trigger();
    QTest::keySequence(frame.get(), start);
    ASSERT_TRUE(frame->isRunning());
    QWidget *hex = frame->hexInput();
    ASSERT_TRUE(eventually([&] { return hex->hasFocus(); }));
    QTest::keyClicks(hex, "1f2");
    QTest::keySequence(hex, stop);
    EXPECT_FALSE(frame->isRunning());
    EXPECT_EQ(hexBytes(), "\x1F\x20");

    QTest::keySequence(frame.get(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainWindowTest, bytesTravelBothWaysHexModeSwapsTheInputsAndALostLinkStartsAgain)
{
    create();
    setClockForTesting([] { return LocalTime{2026, 12, 5, 10, 22, 24, 31}; });
    const QByteArray stamp = "05.12.2026 10:22:24.031 - ";
    frame->settings().display.timestampPerLine = true;
    frame->OnTerminalStart();
    link.writeFar("AB\r\nCD");
    ASSERT_TRUE(eventually([&] { return displayText().size() >= 57; }));
    EXPECT_EQ(displayText(), stamp + "AB\n" + stamp + "CD");
    frame->textInput()->setPlainText(QString(300, u'x'));
    QTest::keyClick(frame->textInput(), Qt::Key_Return);
    const QByteArray expected = '\x02' + QByteArray(300, 'x') + "\x03\r\n";
    EXPECT_EQ(link.readFar(expected.size()), expected);
    // The echo continues the line the received text began.
    EXPECT_TRUE(displayText().endsWith("CD" + QByteArray(300, 'x') + "\n" + stamp + "\n"));

    frame->settings().display.timestampPerLine = false;
    // Hex mode swaps the inputs and starts an empty display.
    EXPECT_TRUE(frame->textInput()->isVisible() && !frame->hexInput()->isVisible());
    action(HexMode)->trigger();
    EXPECT_TRUE(displayText().isEmpty());
    EXPECT_TRUE(eventually([&] { return frame->hexInput()->isVisible(); }));
    EXPECT_FALSE(frame->textInput()->isVisible());
    action(HexMode)->trigger();
    EXPECT_TRUE(displayText().isEmpty());
    EXPECT_TRUE(eventually([&] { return frame->textInput()->isVisible(); }));

    // Blocks not yet shown when the user stops are dropped.
    QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>("late"), 4);
    frame->OnTerminalStop();
    QCoreApplication::processEvents();
    EXPECT_TRUE(displayText().isEmpty());
    EXPECT_EQ(CReceivedBlockQueue::instance().queuedBlocks(), 0u);
    // A lost link shows what arrived, then starts again; a failing restart stops.
    testPorts->opens = 0;
    frame->OnTerminalStart();
    QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>("bye"), 3);
    postPortNotify(1);
    EXPECT_TRUE(eventually([&] { return testPorts->opens == 2; }));
    EXPECT_TRUE(frame->isRunning());
    EXPECT_EQ(displayText(), "bye");
    testPorts->failOpen = true;
    frame->OnPortNotify(1);
    EXPECT_FALSE(frame->isRunning());
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(MainWindowTest, aFloodIsShownInSlicesAndLoggedByteForByte)
{
    create();
    DisplaySettings &display = frame->settings().display;
    display.displayLimitOn = display.loggingOn = true;
    display.displayLimit = 1 << 20;
    display.logFilePath = dir.filePath("flood.log");
    frame->OnTerminalStart();
    // Every byte depends on its position: a lost or misplaced block shows in the log.
    QByteArray flood(24 << 20, '\0');
    for (qsizetype i = 0; i < flood.size(); ++i)
        flood[i] = static_cast<char>('A' + (i * 7 + i / 4093) % 26);
    std::atomic<bool> written{false};
    std::thread writer([&] { written = link.writeFar(flood); });
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
    EXPECT_TRUE(fileBytes(display.logFilePath) == flood);
}

// The handshake that holds sending back says so in the link state, with a tip
// on what helps. Pseudo-terminals have no modem lines: probes stand in.
TEST_F(MainWindowTest, linkStateSaysWhatTheHandshakeWaitsFor)
{
    const struct
    {
        int protocol;
        bool dsr, cts;
        const char *shown, *tip;
    } rows[] = {
        {2, false, true, "waiting for DSR", "raises DSR"},
        {4, false, false, "waiting for DSR", "raises DSR"},
        {2, true, false, "waiting for CTS", "raises CTS"},
        {3, false, false, "waiting for CTS", "raises CTS"},
        {0, false, false, "connected", ""},
        {1, false, false, "connected", ""},
    };
    PtyPair pty;
    ini("Com", "Device", pty.devicePath());
    std::atomic<bool> dsr, cts;
    for (const auto &row : rows) {
        ini("Com", "Protocol", QString::number(row.protocol));
        create(true);
        auto *port = dynamic_cast<CComPort *>(frame->currentPort());
        ASSERT_NE(port, nullptr);
        dsr = row.dsr;
        cts = row.cts;
        port->SetDsrProbe([&] { return dsr.load(); });
        port->SetCtsProbe([&] { return cts.load(); });
        frame->OnTerminalStart();
        ASSERT_TRUE(frame->isRunning()) << row.protocol;
        const QLabel *state = child<QLabel>("paneLinkState");
        EXPECT_TRUE(eventually([&] { return state->text() == row.shown; })) << row.protocol;
        EXPECT_TRUE(state->toolTip().contains(row.tip)) << row.protocol;
        dsr = cts = true; // once the line comes up, the link is simply connected
        EXPECT_TRUE(eventually([&] { return state->text() == "connected"; })) << row.protocol;
        EXPECT_EQ(state->toolTip(), "");
        frame->OnTerminalStop();
    }
    frame.reset(); // before the probes' lines go
}

// A failed open says why on a second line; the port settings open only while
// stopped and the next Start uses them; Start while running says so.
TEST_F(MainWindowTest, realLinksTellWhyTheyFailedAndTakeNewPortSettings)
{
    ini("Com", "Device", "/dev/ttyUSB98");
    create(true);
    frame->OnTerminalStart();
    EXPECT_FALSE(frame->isRunning());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Failure opening the serial port!\nNo such device: "
                                   "/dev/ttyUSB98 is not plugged in.");

    PtyPair line;
    QAction *command = action(PortSettings);
    ModalDriver driver([&](QDialog *d) {
        d->findChild<QComboBox *>("comPortList")->setCurrentText(line.devicePath());
        d->findChild<QComboBox *>("baudEdit")->setCurrentText("9600");
        d->accept();
    });
    command->trigger();
    EXPECT_EQ(driver.opened, QStringList({"CPortSettingsDlg"}));
    EXPECT_TRUE(pane("panePort").startsWith(QFileInfo(line.devicePath()).fileName() + u','));
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    EXPECT_FALSE(command->isEnabled());
    frame->textInput()->setPlainText("hi");
    frame->SendInputText(false);
    EXPECT_EQ(line.read(4), "\x02hi\x03");
    ui.messages.clear();
    frame->OnTerminalStart();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Failure opening the serial port!\nThe terminal is running already.");
    EXPECT_TRUE(frame->isRunning());
}

TEST_F(MainWindowTest, savingASettingKeepsEveryOtherByteAndAFailedSaveIsTold)
{
    // Hand-edited: UTF-8 with one Windows-1252 line, CR LF, a line of garbage.
    const QByteArray before = "; Gr\xc3\xbc\xc3\x9f"
                              "e\r\n[HotKeys]\r\nHotKeyText0=Gr\xfc\xdf\r\n"
                              "[Display]\r\nUseKeyBar=1\r\n\x01\xff\xfe junk \x80\r\n";
    ASSERT_TRUE(writeFileBytes(iniPath, before));
    create();
    EXPECT_EQ(frame->hotKeyBar()->button(0)->text(), "F1: Gr\u00FC\u00DF");
    action(ViewHotKeyBar)->trigger();
    frame.reset();
    EXPECT_EQ(fileBytes(iniPath), QByteArray(before).replace("UseKeyBar=1", "UseKeyBar=0"));
    EXPECT_TRUE(ui.messages.empty());
    // Saved as a settings file under the name proposed from the INI's own.
    create();
    EXPECT_FALSE(frame->hotKeyToolBar()->isVisible() || action(ViewHotKeyBar)->isChecked());
    const QString copy = QFileInfo(iniPath).dir().filePath(QStringLiteral("copy.SPT"));
    ui.files = {copy};
    frame->OnSaveSettings();
    ASSERT_FALSE(ui.fileDialogs.empty());
    EXPECT_EQ(ui.fileDialogs.back().proposedName,
              QFileInfo(iniPath).completeBaseName() + QStringLiteral(".spt"));
    EXPECT_EQ(fileBytes(copy), fileBytes(iniPath));
    frame.reset();
    // The INI has become a folder: loading a settings file over it fails and
    // keeps the settings, and the save at the end is told, not lost.
    create();
    ASSERT_TRUE(QFile::remove(iniPath) && QDir().mkdir(iniPath));
    ui.files = {copy};
    frame->OnLoadSettings();
    ASSERT_EQ(ui.events.size(), 2);
    EXPECT_EQ(ui.events[0], "beep");
    EXPECT_TRUE(ui.events[1].startsWith(
        QStringLiteral("message:The settings file %1 could not be copied to %2. The settings "
                       "stay as they were.\n")
            .arg(copy, iniPath)));
    EXPECT_EQ(frame->hotKeyBar()->button(0)->text(), "F1: Gr\u00FC\u00DF");
    frame.reset();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].text.contains(QDir::toNativeSeparators(iniPath)));
    EXPECT_TRUE(ui.messages[1].text.contains("It is a folder."));
    EXPECT_EQ(ui.messages[1].icon, UiServices::Icon::Stop);
}

} // namespace
