// The main window as a user meets it: its commands, panes and bars, the keys,
// the inputs, starting and stopping, and what its links say.
#include "SendingFixture.h"

#include "dialogs/PortSettingsDlg.h"
#include "display/ReceivedBlockQueue.h"
#include "frame/CommandIds.h"
#include "frame/MainWindowIndicators.h"
#include "input/HexEdit.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "platform/PortNotify.h"
#include "ports/ComPort.h"
#include "support/Pty.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QEnterEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <atomic>
#include <thread>

namespace {

using Ini = std::vector<std::tuple<const char *, const char *, const char *>>;

class MainWindowTest : public WindowTest
{
protected:
    // The tests drive the refresh themselves, one period at a time.
    void create()
    {
        WindowTest::create();
        frame->findChild<QTimer *>(QStringLiteral("refreshTimer"))->stop();
    }
    void writeIni(const Ini &entries)
    {
        for (const auto &[section, key, value] : entries)
            ini(QLatin1String(section), QLatin1String(key), QString::fromUtf8(value));
    }
    template<typename T>
    T *child(const char *name) const
    {
        return frame->findChild<T *>(QLatin1String(name));
    }
    int led(const char *name) const { return child<QProgressBar>(name)->value(); }
    // Ids of the actions shown, 0 for each separator.
    static std::vector<int> ids(const QList<QAction *> &actions)
    {
        std::vector<int> out;
        for (QAction *a : actions) {
            if (a->isVisible() || a->isSeparator())
                out.push_back(a->isSeparator() ? 0 : a->data().toInt());
        }
        return out;
    }
};

class WindowBehaviourTest : public WindowTest
{
protected:
    // What the far end receives while the window goes on running.
    QByteArray answered(qsizetype count)
    {
        QByteArray got;
        eventually([&] {
            got += link.readFar(count - got.size(), std::chrono::milliseconds(5));
            return got.size() >= count;
        });
        return got;
    }
    QStatusBar *bar() const { return frame->statusBar(); }
    QWidget *toolButton(int id) const
    {
        return frame->findChild<QToolBar *>(QStringLiteral("toolBar"))->widgetForAction(action(id));
    }
    static void enter(QWidget *w)
    {
        QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(w, &e);
    }
    static void leave(QWidget *w)
    {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(w, &e);
    }

    std::atomic<bool> dsr{true}, cts{true}; // the modem lines a probe reports
};

class TerminalControllerTest : public WindowTest
{
protected:
    TerminalControllerTest()
    {
        create();
        fixClock();
    }
    bool checked(int id) const { return action(id)->isChecked(); }
    bool enabled(int id) const { return action(id)->isEnabled(); }
    // Lets the event loop run until the display shows `count` characters.
    bool waitForDisplay(qsizetype count, int ms = 5000)
    {
        return eventually([&] { return displayText().size() >= count; }, ms);
    }
};

// The main window with its real ports.
class PortLinkTest : public WindowTest
{
protected:
    void create()
    {
        WindowTest::create(true);
        frame->settings().localEcho = false;
    }
    QString portPane() const { return pane("panePort"); }
};

TEST_F(MainWindowTest, toolbarAndMenusHoldEveryCommandInOrder)
{
    using namespace CommandId;
    create();
    // The toolbar's groups, a separator between each two.
    std::vector<int> toolbar;
    for (const std::vector<int> &group :
         std::vector<std::vector<int>>{{FileNew, FileOpen, FileSave},
                                       {PortSettings},
                                       {TerminalStart, TerminalStop},
                                       {SendInputText, SendFile},
                                       {EditCopy, FilePrint},
                                       {ClearInput, AutoScroll, LocalEcho, HexMode},
                                       {AppAbout}}) {
        if (!toolbar.empty())
            toolbar.push_back(0);
        toolbar.insert(toolbar.end(), group.begin(), group.end());
    }
    EXPECT_EQ(ids(child<QToolBar>("toolBar")->actions()), toolbar);
    const std::vector<std::vector<int>> menus{
        {FileNew, FileOpen, FileSave, FileSaveAs, 0, LoadSettings, SaveSettings, 0, FilePrint,
         FilePrintPreview, FilePrintSetup, 0, FileMru, 0, AppExit},
        {EditCopy, EditCut, EditDelete, EditSelectAll, 0, 0}, // Find has no number
        {ViewToolbar, ViewStatusBar, ViewHotKeyBar},
        {TerminalStart, TerminalStop, 0, SendFile, SendFileToPrinter, ReceivePrinterFile,
         CancelPrinterReception, CommandId::SendInputText},
        {PortSettings, 0, LocalEcho, AutoScroll, ClearInput, HexMode, Timestamp, 0,
         CharacterMapping, 0, HotKeys, 0, MediaGateway},
        {AppAbout}};
    const QList<QAction *> bar = frame->menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(menus.size()));
    for (std::size_t i = 0; i < menus.size(); ++i)
        EXPECT_EQ(ids(bar[i]->menu()->actions()), menus[i]) << bar[i]->text().toStdString();
    // Menu items carry the toolbar's pictures.
    for (int id : toolbar)
        EXPECT_TRUE(id == 0 || !frame->action(id)->icon().isNull()) << id;
}

TEST_F(MainWindowTest, commandsAndTheInputFollowTheTerminalState)
{
    using namespace CommandId;
    create();
    const struct
    {
        int id;
        bool enabledStopped, checkedStopped, enabledRunning, checkedRunning;
    } rows[] = {
        {TerminalStart, true, false, true, true},
        {TerminalStop, true, true, true, false},
        {SendInputText, false, false, true, false},
        {SendFile, false, false, true, false},
        {LoadSettings, true, false, false, false},
        {SaveSettings, true, false, true, false},
        {SendFileToPrinter, false, false, true, false},
        {ReceivePrinterFile, false, false, true, false},
        {CancelPrinterReception, false, false, false, false},
        {PortSettings, true, false, false, false},
        {MediaGateway, true, false, true, false},
        {CharacterMapping, true, false, true, false},
        {HotKeys, true, false, true, false},
    };
    frame->textInput()->setPlainText(QStringLiteral("left over"));
    for (const bool running : {false, true, false}) {
        SCOPED_TRACE(running ? "running" : "stopped");
        if (running)
            frame->OnTerminalStart();
        else
            frame->OnTerminalStop();
        EXPECT_EQ(frame->isRunning(), running);
        EXPECT_EQ(link.IsOpen(), running);
        EXPECT_EQ(frame->textInput()->isEnabled(), running);
        for (const auto &r : rows) {
            EXPECT_EQ(action(r.id)->isEnabled(), running ? r.enabledRunning : r.enabledStopped)
                << r.id;
            EXPECT_EQ(action(r.id)->isChecked(), running ? r.checkedRunning : r.checkedStopped)
                << r.id;
        }
    }
    EXPECT_TRUE(frame->textInput()->toPlainText().isEmpty()); // a start empties it
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindowTest, portPaneShowsEachPortKind)
{
    const struct
    {
        Ini ini;
        const char *pane;
    } rows[] = {
        {{}, "COM1,19200,N,8,1,H"},
        {{{"Com", "Parity", "1"}}, "COM1,19200,E,8,1,H"},
        {{{"Com", "Parity", "3"}}, "COM1,19200,?,8,1,H"},
        {{{"Com", "Parity", "-1"}, {"Com", "Protocol", "9"}}, "COM1,19200,?,8,1,?"},
        {{{"Com", "Port", "3"},
          {"Com", "Baud", "9600"},
          {"Com", "Parity", "2"},
          {"Com", "DataBits", "7"},
          {"Com", "StopBits", "2"},
          {"Com", "Protocol", "0"}},
         "COM3,9600,O,7,2,-"},
        {{{"Com", "Protocol", "1"}}, "COM1,19200,N,8,1,X"},
        {{{"Com", "Protocol", "4"}, {"Com", "Device", "/dev/ttyUSB0"}}, "ttyUSB0,19200,N,8,1,H"},
        {{{"Com", "UseSerial", "2"}}, "USB"},
        {{{"Com", "UseSerial", "0"}}, "IP:192.168.0.1, 9100"},
        {{{"Com", "UseSerial", "0"}, {"Net", "IPAdr", ""}, {"Net", "PortNum", "4001"}},
         "IP:???.???.???.???, 4001"},
    };
    for (const auto &row : rows) {
        QFile::remove(iniPath);
        writeIni(row.ini);
        create();
        EXPECT_EQ(pane("panePort"), QLatin1String(row.pane));
    }
}

TEST_F(MainWindowTest, indicatorsAndProgressFollowThePort)
{
    create();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());

    // Held back by the link, four blocks wait to be written.
    link.holdWriter(true);
    const QByteArray data(1000, 'x');
    const int blocks = frame->currentPort()->Write(data.constData(), int(data.size()));
    ASSERT_EQ(blocks, 4);
    frame->StartSendProgress(0); // nothing to show
    EXPECT_FALSE(child<QProgressBar>("sendProgress")->isVisible());
    frame->StartSendProgress(blocks);
    EXPECT_TRUE(child<QProgressBar>("sendProgress")->isVisible());
    EXPECT_EQ(child<QProgressBar>("sendProgress")->maximum(), 4);
    EXPECT_EQ(pane("sendPercent"), QStringLiteral("0%"));

    // While blocks wait, the send indicator blinks between full and half.
    std::vector<int> positions;
    for (int i = 0; i < 3; ++i) {
        frame->OnRefreshTimer();
        positions.push_back(led("sendLed"));
    }
    EXPECT_EQ(positions, (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(pane("sendPercent"), QStringLiteral("0%"));

    link.holdWriter(false);
    EXPECT_EQ(link.readFar(data.size()), data);
    ASSERT_TRUE(eventually([&] { return !frame->currentPort()->IsWritePending(); }));
    frame->OnRefreshTimer();
    EXPECT_EQ(led("sendLed"), 0);
    EXPECT_FALSE(child<QProgressBar>("sendProgress")->isVisible());
    EXPECT_EQ(pane("sendPercent"), QString());

    // A received block lights the receive indicator for one period.
    ASSERT_TRUE(link.writeFar("hello"));
    ASSERT_TRUE(eventually([&] { return frame->view()->widget()->buffer().text() == "hello"; }));
    EXPECT_EQ(led("receiveLed"), 2);
    frame->OnRefreshTimer();
    EXPECT_EQ(led("receiveLed"), 0);

    // Stop ends a transfer on show at once.
    link.holdWriter(true);
    frame->StartSendProgress(frame->currentPort()->Write("abc", 3));
    frame->OnTerminalStop();
    EXPECT_FALSE(child<QProgressBar>("sendProgress")->isVisible());
    EXPECT_EQ(pane("sendPercent"), QString());
    link.holdWriter(false);
}

TEST_F(MainWindowTest, hotKeyBarShowsCaptionsInThreeColumns)
{
    writeIni({{"HotKeys", "HotKeyText0", "AT"}, {"HotKeys", "HotKeyText11", "R&K"}});
    create();
    const CHotKeyBar *bar = frame->hotKeyBar();
    EXPECT_EQ(bar->button(0)->text(), QStringLiteral("F1: AT"));
    EXPECT_EQ(bar->button(5)->text(), QStringLiteral("F6: "));
    EXPECT_EQ(bar->button(11)->text(), QStringLiteral("F12: R&&K"));

    writeIni({{"HotKeys", "HotKeyText5", "ATZ"}});
    frame->LoadSettings();
    EXPECT_EQ(bar->button(5)->text(), QStringLiteral("F6: ATZ"));

    // F1-F4 down the first column, F5-F8 the second, F9-F12 the third.
    EXPECT_EQ(CHotKeyBar::buttonGeometry(7, 614, 20), QRect(208, 64, 200, 20));
    EXPECT_EQ(CHotKeyBar::buttonGeometry(11, 614, 20), QRect(412, 64, 200, 20));
}

TEST_F(MainWindowTest, viewMenuSwitchesTheBarsAndTheHotKeyBarSurvivesARestart)
{
    create();
    for (int id : {CommandId::ViewToolbar, CommandId::ViewStatusBar, CommandId::ViewHotKeyBar}) {
        QWidget *bar = id == CommandId::ViewToolbar     ? child<QToolBar>("toolBar")
                       : id == CommandId::ViewStatusBar ? static_cast<QWidget *>(frame->statusBar())
                                                        : frame->hotKeyToolBar();
        EXPECT_TRUE(bar->isVisible() && frame->action(id)->isChecked()) << id;
        frame->action(id)->trigger();
        EXPECT_FALSE(bar->isVisible() || frame->action(id)->isChecked()) << id;
    }
    const auto useKeyBar = [this] {
        return profile::getString(QStringLiteral("Display"), QStringLiteral("UseKeyBar"), {}, 9,
                                  iniPath);
    };
    frame.reset();
    EXPECT_EQ(useKeyBar(), QStringLiteral("0"));
    create();
    EXPECT_FALSE(frame->hotKeyToolBar()->isVisible());
    EXPECT_FALSE(frame->action(CommandId::ViewHotKeyBar)->isChecked());
    frame->action(CommandId::ViewHotKeyBar)->trigger();
    frame.reset();
    EXPECT_EQ(useKeyBar(), QStringLiteral("1"));
}

TEST_F(MainWindowTest, editCommandsActOnTheFocusedInputElseOnTheDisplay)
{
    create();
    frame->activateWindow();
    ASSERT_TRUE(eventually([&] { return frame->isActiveWindow(); }));
    const QByteArray shown("shown text");
    frame->view()->AppendToDisplay(reinterpret_cast<const std::uint8_t *>(shown.constData()),
                                   int(shown.size()), true);
    frame->view()->widget()->setFocus();
    ASSERT_TRUE(eventually([&] { return frame->view()->widget()->hasFocus(); }));
    EXPECT_FALSE(frame->action(CommandId::EditCut)->isEnabled());
    frame->action(CommandId::EditSelectAll)->trigger();
    frame->action(CommandId::EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("shown text"));

    frame->OnTerminalStart();
    frame->textInput()->setPlainText(QStringLiteral("typed"));
    frame->textInput()->setFocus();
    ASSERT_TRUE(eventually([&] { return frame->textInput()->hasFocus(); }));
    EXPECT_TRUE(frame->action(CommandId::EditCut)->isEnabled());
    frame->action(CommandId::EditSelectAll)->trigger();
    frame->action(CommandId::EditCut)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("typed"));
    EXPECT_TRUE(frame->textInput()->toPlainText().isEmpty());

    frame->action(CommandId::HexMode)->trigger();
    auto *hex = qobject_cast<CHexEdit *>(frame->hexInput());
    ASSERT_NE(hex, nullptr);
    const std::uint8_t bytes[] = {0x41, 0x42};
    hex->SetData(bytes, 2);
    hex->setFocus();
    ASSERT_TRUE(eventually([&] { return hex->hasFocus(); }));
    frame->action(CommandId::EditSelectAll)->trigger();
    frame->action(CommandId::EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(QLatin1String(CHexEdit::kBinaryMime)),
              QByteArray("AB"));
}

TEST_F(WindowBehaviourTest, statusBarShowsReadyAgainWhenThePointerLeavesAButtonOrMenu)
{
    create();
    const QLabel *ready = frame->findChild<QLabel *>(QStringLiteral("paneMessage"));
    QWidget *start = toolButton(CommandId::TerminalStart);
    enter(start);
    EXPECT_EQ(bar()->currentMessage(), "Starts the terminal mode");
    leave(start);
    EXPECT_EQ(bar()->currentMessage(), QString());
    EXPECT_TRUE(ready->isVisible());
    EXPECT_EQ(ready->text(), "Ready");

    // A hotkey button prompts for itself, not for the bar it stands in.
    QPushButton *f3 = frame->hotKeyBar()->button(2);
    enter(f3);
    EXPECT_EQ(bar()->currentMessage(), "Sends the text of hotkey F3");
    leave(f3);
    EXPECT_EQ(bar()->currentMessage(), QString());

    // A menu item's prompt goes with its menu.
    QMenu *settings = frame->menuBar()->actions().at(4)->menu();
    ASSERT_NE(settings, nullptr);
    settings->popup(QPoint(10, 10));
    ASSERT_TRUE(eventually([&] { return settings->isVisible(); }));
    // The pointer comes from outside the menu (a menu ignores the first
    // moves close to where it opened) onto the item.
    for (const QPointF at :
         {QPointF(300, 300),
          QPointF(settings->actionGeometry(action(CommandId::LocalEcho)).center())}) {
        QMouseEvent move(QEvent::MouseMove, at, settings->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(settings, &move);
    }
    EXPECT_EQ(bar()->currentMessage(), "Local echo of sent data");
    settings->hide();
    EXPECT_EQ(bar()->currentMessage(), QString());
}

TEST_F(WindowBehaviourTest, startStopAndQuitKeysLeaveTypingAndTheHotKeysAlone)
{
    create();
    const QKeySequence start = action(CommandId::TerminalStart)->shortcut();
    const QKeySequence stop = action(CommandId::TerminalStop)->shortcut();
    ASSERT_FALSE(start.isEmpty());
    ASSERT_FALSE(stop.isEmpty());
    // No key the inputs take for editing, and none of the hotkeys.
    for (int k = QKeySequence::HelpContents; k <= QKeySequence::Backspace; ++k) {
        for (const QKeySequence &bound :
             QKeySequence::keyBindings(static_cast<QKeySequence::StandardKey>(k))) {
            EXPECT_NE(bound, start) << k;
            EXPECT_NE(bound, stop) << k;
        }
    }
    for (int i = 0; i < 12; ++i) {
        const QKeySequence hotKey = action(CommandId::HotKeyF1 + i)->shortcut();
        EXPECT_NE(hotKey, start);
        EXPECT_NE(hotKey, stop);
    }

    QTest::keySequence(frame.get(), start);
    ASSERT_TRUE(frame->isRunning());
    CInputEdit *input = frame->textInput();
    ASSERT_TRUE(eventually([&] { return input->hasFocus(); }));
    QTest::keyClicks(input, "abc");
    QTest::keySequence(input, start); // again: the run goes on, nothing is typed
    EXPECT_TRUE(frame->isRunning());
    EXPECT_EQ(input->toPlainText(), "abc");
    QTest::keySequence(input, stop);
    EXPECT_FALSE(frame->isRunning());

    // The same in the hex input.
    action(CommandId::HexMode)->trigger();
    QTest::keySequence(frame.get(), start);
    ASSERT_TRUE(frame->isRunning());
    QWidget *hex = frame->hexInput();
    ASSERT_TRUE(eventually([&] { return hex->hasFocus(); }));
    QTest::keyClicks(hex, "1f");
    QTest::keySequence(hex, stop);
    EXPECT_FALSE(frame->isRunning());
    std::uint8_t bytes[4] = {};
    EXPECT_EQ(frame->hexEdit()->GetData(bytes, 4), 1);
    EXPECT_EQ(bytes[0], 0x1F);

    QTest::keySequence(frame.get(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(WindowBehaviourTest, typedTextsAreRecalledAndPastedLinesSentOneByOne)
{
    ini("HotKeys", "HotKeyText0", "FROM A HOTKEY");
    create();
    frame->OnTerminalStart();
    CInputEdit *input = frame->textInput();
    ASSERT_TRUE(eventually([&] { return input->hasFocus(); }));
    for (const char *typed : {"READ", "VER"}) {
        QTest::keyClicks(input, typed);
        QTest::keyClick(input, Qt::Key_Return);
    }
    frame->FireHotKey(0);
    const QByteArray sent("\x02READ\x03\r\n\x02VER\x03\r\n\x02"
                          "FROM A HOTKEY\x03");
    EXPECT_EQ(link.readFar(sent.size()), sent);
    // Up recalls what was typed, not what the hotkey sent.
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), "VER");

    // Pasted lines: each goes out as a text of its own, and the user is told.
    input->clear();
    QApplication::clipboard()->setText("SET 22.5\r\n\r\nREAD\r\n");
    input->paste();
    EXPECT_EQ(input->toPlainText(), "SET 22.5\nREAD");
    EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith("2 lines in the input"));
    QTest::keyClick(input, Qt::Key_Return);
    const QByteArray lines("\x02SET 22.5\x03\r\n\x02READ\x03\r\n");
    EXPECT_EQ(link.readFar(lines.size()), lines);
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), "SET 22.5\nREAD");
}

TEST_F(WindowBehaviourTest, anAutoReplyLeavesWhatTheUserIsTypingAlone)
{
    ini("HotKeys", "HotKeyText11", "ALIVE");
    ini("HotKeys", "HotKeyReceiveText11", "ALIVE?");
    ini("HotKeys", "AutoReply", "2048");
    create();
    frame->OnTerminalStart();
    CInputEdit *input = frame->textInput();
    ASSERT_TRUE(eventually([&] { return input->hasFocus(); }));
    QTest::keyClicks(input, "SET 2");
    ASSERT_TRUE(link.writeFar("\x02"
                              "ALIVE?\x03"));
    const QByteArray reply("\x02"
                           "ALIVE\x03");
    EXPECT_EQ(answered(reply.size()), reply);
    EXPECT_EQ(input->toPlainText(), "SET 2");
    QTest::keyClicks(input, "2.5"); // typing goes on where it was
    EXPECT_EQ(input->toPlainText(), "SET 22.5");

    // The same for bytes typed into the hex input.
    action(CommandId::HexMode)->trigger();
    QTest::keyClicks(frame->hexInput(), "1f2");
    ASSERT_TRUE(link.writeFar("\x02"
                              "ALIVE?\x03"));
    EXPECT_EQ(answered(reply.size()), reply);
    std::uint8_t bytes[4] = {};
    ASSERT_EQ(frame->hexEdit()->GetData(bytes, 4), 2);
    EXPECT_EQ(bytes[0], 0x1F);
    EXPECT_EQ(bytes[1], 0x20);
}

// The handshake that holds sending back says so in the link state, with a
// tip on what helps. Pseudo-terminals have no modem lines: probes stand in.
TEST_F(WindowBehaviourTest, linkStateSaysWhatTheHandshakeWaitsFor)
{
    const struct
    {
        int protocol;
        bool dsr, cts;
        const char *shown;
        const char *tip;
    } rows[] = {
        {2, false, true, "waiting for DSR", "raises DSR"},
        {4, false, false, "waiting for DSR", "raises DSR"},
        {2, true, false, "waiting for CTS", "raises CTS"},
        {3, false, false, "waiting for CTS", "raises CTS"},
        {0, false, false, "connected", ""},
        {1, false, false, "connected", ""},
    };
    PtyPair pty;
    ASSERT_TRUE(pty.isValid());
    ini("Com", "Device", pty.devicePath());
    for (const auto &row : rows) {
        ini("Com", "Protocol", QString::number(row.protocol));
        frame = std::make_unique<CMainFrame>(iniPath); // the real ports
        frame->show();
        auto *port = dynamic_cast<CComPort *>(frame->currentPort());
        ASSERT_NE(port, nullptr);
        dsr = row.dsr;
        cts = row.cts;
        port->SetDsrProbe([&] { return dsr.load(); });
        port->SetCtsProbe([&] { return cts.load(); });
        frame->OnTerminalStart();
        ASSERT_TRUE(frame->isRunning()) << row.protocol;
        const QLabel *pane = frame->findChild<QLabel *>(QStringLiteral("paneLinkState"));
        EXPECT_TRUE(eventually([&] { return pane->text() == row.shown; }))
            << row.protocol << ": " << pane->text().toStdString();
        EXPECT_TRUE(pane->toolTip().contains(row.tip)) << row.protocol;
        // Once the line comes up, the link is simply connected.
        dsr = cts = true;
        EXPECT_TRUE(eventually([&] { return pane->text() == "connected"; })) << row.protocol;
        EXPECT_EQ(pane->toolTip(), QString());
        frame->OnTerminalStop();
        frame.reset();
    }
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

TEST_F(PortLinkTest, aUsbLinkSendsFramedTextShowsWhatArrivesAndAnswersATrigger)
{
    PtyPair printer;
    ASSERT_TRUE(printer.isValid());
    ini("Com", "UseSerial", QStringLiteral("2"));
    ini("Usb", "DeviceName", printer.devicePath());
    ini("HotKeys", "HotKeyText0", QStringLiteral("PONG"));
    ini("HotKeys", "HotKeyReceiveText0", QStringLiteral("PING"));
    ini("HotKeys", "AutoReply", QStringLiteral("1"));
    create();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    EXPECT_TRUE(ui.messages.empty());

    frame->textInput()->setPlainText(QStringLiteral("hello"));
    frame->SendInputText(true);
    EXPECT_EQ(printer.read(9), QByteArray("\x02hello\x03\r\n"));

    ASSERT_TRUE(printer.write("status PING"));
    EXPECT_TRUE(eventually([&] { return displayText() == "status PING"; }));
    EXPECT_EQ(printer.read(6), QByteArray("\x02PONG\x03"));

    // The printer goes away: the terminal stays calm and stops at once.
    printer.closeMaster();
    frame->OnTerminalStop();
    EXPECT_FALSE(frame->isRunning());
    EXPECT_FALSE(frame->currentPort()->IsOpen());
}

TEST_F(PortLinkTest, aFailedOpenTellsWhyOnASecondLine)
{
    PtyPair line;
    ASSERT_TRUE(line.isValid());
    const struct
    {
        const char *name;
        const char *kind;
        const char *section;
        const char *key;
        QString value;
        QString reason;
    } rows[] = {
        {"serial device missing", "1", "Com", "Device", QStringLiteral("/dev/ttyUSB98"),
         QStringLiteral("No such device: /dev/ttyUSB98 is not plugged in.")},
        {"USB printer missing", "2", "Usb", "DeviceName", QStringLiteral("/dev/usb/lp98"),
         QStringLiteral("No such device: /dev/usb/lp98 is not plugged in.")},
        {"no USB printer chosen", "2", "Usb", "DeviceName", QStringLiteral("\\\\?\\usb"),
         QStringLiteral("No USB device is chosen: pick one in the port settings.")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(iniPath);
        ini("Com", "UseSerial", QLatin1String(row.kind));
        ini(row.section, row.key, row.value);
        create();
        ui.messages.clear();
        frame->OnTerminalStart();
        EXPECT_FALSE(frame->isRunning());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  QStringLiteral("Failure opening the serial port!\n") + row.reason);
    }

    // Start while running: the message says so, and the run goes on.
    QFile::remove(iniPath);
    ini("Com", "Device", line.devicePath());
    create();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    ui.messages.clear();
    frame->OnTerminalStart();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Failure opening the serial port!\n"
                                                  "The terminal is running already."));
    EXPECT_TRUE(frame->isRunning());
}

TEST_F(PortLinkTest, thePortSettingsCommandOpensTheDialogOnlyWhileStopped)
{
    PtyPair line;
    ASSERT_TRUE(line.isValid());
    create();
    QAction *command = frame->action(CommandId::PortSettings);
    ASSERT_TRUE(command->isEnabled());
    ModalDriver driver([&](QDialog *d) {
        // The user types the device's path and confirms.
        d->findChild<QComboBox *>(QStringLiteral("comPortList"))->setCurrentText(line.devicePath());
        d->findChild<QComboBox *>(QStringLiteral("baudEdit"))
            ->setCurrentText(QStringLiteral("9600"));
        d->accept();
    });
    command->trigger();
    EXPECT_EQ(driver.opened, QStringList({"CPortSettingsDlg"}));
    EXPECT_TRUE(portPane().startsWith(QFileInfo(line.devicePath()).fileName() + u','))
        << portPane().toStdString();
    EXPECT_EQ(profile::getString(QStringLiteral("Com"), QStringLiteral("Device"), {}, 254, iniPath),
              line.devicePath());

    // The new settings are used by the next Start.
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    EXPECT_FALSE(command->isEnabled());
    frame->textInput()->setPlainText(QStringLiteral("hi"));
    frame->SendInputText(false);
    EXPECT_EQ(line.read(4), QByteArray("\x02hi\x03"));
}

TEST_F(WindowTest, savingASettingKeepsEveryOtherByteAndAFailedSaveIsTold)
{
    // Hand-edited: UTF-8 with one Windows-1252 line, CR LF, a line of garbage.
    const QByteArray before = "; Gr\xc3\xbc\xc3\x9f"
                              "e\r\n[HotKeys]\r\nHotKeyText0=Gr\xfc\xdf\r\n"
                              "[Display]\r\nUseKeyBar=1\r\n\x01\xff\xfe junk \x80\r\n";
    QFile file(iniPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();
    create();
    EXPECT_EQ(frame->hotKeyBar()->button(0)->text(), QStringLiteral("F1: Gr\u00FC\u00DF"));
    frame->action(CommandId::ViewHotKeyBar)->trigger();
    frame.reset();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(before).replace("UseKeyBar=1", "UseKeyBar=0"));
    file.close();
    EXPECT_TRUE(ui.messages.empty());

    // The INI has become a folder: the save at the end is told, not lost.
    create();
    ASSERT_TRUE(QFile::remove(iniPath));
    ASSERT_TRUE(QDir().mkdir(iniPath));
    frame.reset();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QDir::toNativeSeparators(iniPath)));
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("It is a folder.")));
    EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Stop);
}

} // namespace
