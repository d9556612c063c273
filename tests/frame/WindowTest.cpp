// The main window's commands, keys, panes and bars as a user meets them.
#include "SendingFixture.h"

#include "display/DisplayModel.h"
#include "display/DisplayWidget.h"
#include "frame/CommandIds.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "ports/ComPort.h"
#include "support/FakeTtyIo.h"
#include "support/FileBytes.h"
#include "support/Pty.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

namespace {

using namespace CommandId;

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest,
       commandsKeysAndTheInputFollowTheTerminalStateAndAFailedStartOrCloseIsDealtWith)
{
    create();
    const QKeySequence start = action(TerminalStart)->shortcut();
    CInputEdit *input = frame->textInput();
    input->setPlainText("left over");
    const auto commandsSay = [&](bool running) {
        EXPECT_EQ(
            QList<bool>({link.IsOpen(), input->isEnabled(), action(TerminalStart)->isChecked(),
                         action(SendFile)->isEnabled(), !action(PortSettings)->isEnabled()}),
            QList<bool>(5, running));
    };
    commandsSay(false);
    // The toolbar's buttons stand in their six groups.
    EXPECT_EQ(std::ranges::count_if(child<QToolBar>("toolBar")->actions(), &QAction::isSeparator),
              6);
    QTest::keySequence(frame.get(), start);
    commandsSay(true);
    // A start empties the input and focuses it; Start again leaves what is typed alone.
    EXPECT_TRUE(input->toPlainText().isEmpty());
    ASSERT_TRUE(eventually([&] { return input->hasFocus(); }));
    QTest::keyClicks(input, "SET 2");
    QTest::keySequence(input, start);
    QTest::keyClicks(input, "2.5");
    EXPECT_EQ(input->toPlainText(), "SET 22.5");
    EXPECT_EQ(ui.events.size(), 2); // the second Start is refused with a message
    ui.events.clear();
    QTest::keySequence(input, action(TerminalStop)->shortcut());
    commandsSay(false);

    testPorts->failOpen = true;
    frame->OnTerminalStart();
    EXPECT_FALSE(frame->isRunning() || frame->textInput()->isEnabled());
    EXPECT_TRUE(action(TerminalStop)->isChecked());
    EXPECT_EQ(ui.events, QStringList({"beep", "message:Failure opening the serial port!"}));

    // Closing while a connection is awaited ends the wait, then closes.
    testPorts->failOpen = false;
    testPorts->opens = 0;
    bool closedDuringOpen = true;
    testPorts->whileOpening = [&] {
        QTest::keySequence(frame.get(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        closedDuringOpen = !frame->isVisible();
        frame->OnTerminalStart(); // a second start while waiting is ignored
    };
    frame->OnTerminalStart();
    EXPECT_EQ((std::pair{closedDuringOpen, testPorts->opens}), (std::pair{false, 1}));
    EXPECT_FALSE(frame->isRunning() || link.IsOpen());
    EXPECT_TRUE(eventually([&] { return !frame->isVisible(); }));
}

TEST_F(MainWindowTest, portPaneShowsEachPortKind)
{
    const std::pair<const char *, const char *> rows[] = {
        {"", "COM1,19200,N,8,1,H"},
        {"[Com]\nParity=3\n", "COM1,19200,?,8,1,H"},
        {"[Com]\nProtocol=9\n", "COM1,19200,N,8,1,?"},
        {"[Com]\nPort=3\nBaud=9600\nParity=2\nDataBits=7\nStopBits=2\nProtocol=0\n",
         "COM3,9600,O,7,2,-"},
        {"[Com]\nUseSerial=2\n", "USB"},
        {"[Send]\nFraming=0\n", "COM1,19200,N,8,1,H, no STX/ETX"},
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
    frame->terminal().StartSendProgress(
        frame->currentPort()->Write(data.constData(), int(data.size())));
    EXPECT_TRUE(progress->isVisible() && progress->maximum() == 4);
    // While blocks wait, the send indicator blinks between full and half.
    auto *sendLed = child<QProgressBar>("sendLed");
    std::vector<int> positions;
    for (int i = 0; i < 3; ++i) {
        frame->OnRefreshTimer();
        positions.push_back(sendLed->value());
    }
    EXPECT_EQ((std::pair{positions, pane("sendPercent")}),
              (std::pair{std::vector<int>{2, 1, 2}, QString("0%")}));

    link.holdWriter(false);
    EXPECT_EQ(link.readFar(data.size()), data);
    ASSERT_TRUE(eventually([&] { return !frame->currentPort()->IsWritePending(); }));
    frame->OnRefreshTimer();
    EXPECT_FALSE(sendLed->value() != 0 || progress->isVisible() || !pane("sendPercent").isEmpty());
    // A file's own progress goes when its transfer ends.
    emit frame->terminal().transferProgress(1, 4);
    EXPECT_TRUE(progress->isVisible() && pane("sendPercent") == "25%");
    emit frame->terminal().transferProgressEnded();
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(MainWindowTest, editAndDisplayCommandsActWhereTheUserIs)
{
    start(); // the text input takes the focus only while running
    CDisplayWidget *display = frame->view()->widget();
    // The display's context menu holds the window's own actions.
    std::unique_ptr<QMenu> menu(display->createContextMenu(nullptr));
    const QList<QAction *> items = menu->actions();
    ASSERT_TRUE(items.size() == 10 && items[1] == action(EditSelectAll));

    // Select all and Copy act on the display when it has the focus.
    frame->terminal().display().append(reinterpret_cast<const std::uint8_t *>("shown text"), 10,
                                       true);
    ASSERT_TRUE(eventually([display] {
        QApplication::setActiveWindow(display->window());
        display->setFocus();
        return display->hasFocus();
    }));
    EXPECT_FALSE(action(EditCut)->isEnabled());
    items[1]->trigger();
    action(EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "shown text");
    items[4]->trigger();
    EXPECT_TRUE(display->plainText().isEmpty());
    // In the text input they act on what is typed there.
    CInputEdit *input = frame->textInput();
    input->setPlainText("typed");
    ASSERT_TRUE(eventually([input] {
        QApplication::setActiveWindow(input->window());
        input->setFocus();
        return input->hasFocus();
    }));
    action(EditSelectAll)->trigger();
    action(EditDelete)->trigger();
    EXPECT_TRUE(input->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, thePortSettingsTakeEffectAtTheNextStart)
{
    create(true);
    PtyPair line;
    ModalDriver driver([&](QDialog *d) {
        d->findChild<QComboBox *>("comPortList")->setCurrentText(line.devicePath());
        d->accept();
    });
    action(PortSettings)->trigger();
    EXPECT_TRUE(pane("panePort").startsWith(QFileInfo(line.devicePath()).fileName() + u','));
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    frame->textInput()->setPlainText("hi");
    frame->SendInputText(false);
    EXPECT_EQ(line.read(4), "\x02hi\x03");
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
    // Saved as a settings file under the name proposed from the INI's own.
    create();
    EXPECT_FALSE(frame->hotKeyToolBar()->isVisible() || action(ViewHotKeyBar)->isChecked());
    const QString copy = QFileInfo(iniPath).dir().filePath(QStringLiteral("copy.SPT"));
    ui.files = {copy};
    frame->OnSaveSettings();
    ASSERT_FALSE(ui.fileDialogs.empty());
    EXPECT_EQ(ui.fileDialogs.back().proposedName + u'|'
                  + QString::number(ui.fileDialogs.back().confirmOverwrite),
              QFileInfo(iniPath).completeBaseName() + QStringLiteral(".spt|1"));
    EXPECT_EQ(fileBytes(copy), fileBytes(iniPath));
    frame.reset();
    // The INI is now a folder: a load fails and keeps the settings; the last save is told.
    create();
    ASSERT_TRUE(QFile::remove(iniPath) && QDir().mkdir(iniPath));
    ui.files = {copy};
    frame->OnLoadSettings();
    ASSERT_TRUE(ui.events.size() == 2 && ui.events[0] == "beep");
    EXPECT_TRUE(ui.events[1].startsWith(
        QStringLiteral("message:The settings file %1 could not be copied to %2. The settings "
                       "stay as they were.\n")
            .arg(copy, iniPath)));
    EXPECT_EQ(frame->hotKeyBar()->button(0)->text(), "F1: Gr\u00FC\u00DF");
    frame.reset();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].text.contains(QDir::toNativeSeparators(iniPath))
                && ui.messages[1].text.contains("It is a folder."));
}

// Switches act only where the handshake leaves the line alone; counters restart each run.
TEST_F(MainWindowTest, modemLinesShowSwitchAndBreakOnSerialLinksAndCountersCountBytes)
{
    PtyPair pty;
    ini("Com", "Device", pty.devicePath());
    ini("Com", "Protocol", "3"); // RTS/CTS: RTS is the handshake's
    FakeTtyIo tty;
    create(true);
    dynamic_cast<CComPort *>(frame->currentPort())->SetTtyIo(&tty);
    QWidget *lamps = child<QWidget>("modemLamps");
    QAction *dtr = child<QAction>("switchDTR"), *rts = child<QAction>("switchRTS");
    QAction *sendBreak = child<QAction>("sendBreak");
    EXPECT_FALSE(lamps->isVisible() || sendBreak->isEnabled());
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    const auto lit = [&](const char *name) {
        return child(name)->styleSheet().contains("#2e7d32");
    };
    EXPECT_TRUE(lamps->isVisible() && !lit("lampCTS") && !lit("lampDSR"));
    // The handshake's hold is said beside the port, with a tip on what helps.
    EXPECT_TRUE(eventually([&] { return pane("paneLinkState") == "waiting for CTS"; }));
    EXPECT_TRUE(child("paneLinkState")->toolTip().contains("raises CTS"));
    tty.setInputs(ModemBits::Cts | ModemBits::Dsr, true);
    EXPECT_TRUE(eventually([&] { return lit("lampCTS") && lit("lampDSR") && !lit("lampDCD"); }));
    EXPECT_EQ(pane("paneLinkState"), "connected");
    tty.setInputs(ModemBits::Dsr, false);
    EXPECT_TRUE(eventually([&] { return !lit("lampDSR") && lit("lampCTS"); }));
    EXPECT_TRUE(dtr->isEnabled() && dtr->isChecked() && !rts->isEnabled());
    dtr->trigger(); // DTR low, then high again: the device's reset
    EXPECT_FALSE((tty.lines() & ModemBits::Dtr) || dtr->isChecked());
    dtr->trigger();
    EXPECT_TRUE(tty.lines() & ModemBits::Dtr);
    EXPECT_EQ(frame->terminal().setModemLine(ModemBits::Rts, false),
              LineRequest::DrivenByHandshake);
    EXPECT_TRUE(tty.lines() & ModemBits::Rts);
    sendBreak->trigger();
    EXPECT_TRUE(eventually([&] { return status() == "Break sent."; }) && tty.breaks() == 1);

    // Bytes both ways are counted for this run, and a new run starts at 0.
    pty.write("hello");
    frame->textInput()->setPlainText("hi");
    frame->SendInputText(true);
    EXPECT_EQ(pty.read(6), "\x02hi\x03\r\n");
    EXPECT_TRUE(eventually([&] { return pane("paneCounters").startsWith("Rx 5  Tx 6  "); }))
        << pane("paneCounters").toStdString();
    frame->OnTerminalStop();
    EXPECT_FALSE(lamps->isVisible() || sendBreak->isEnabled()
                 || frame->terminal().sendBreak() != LineRequest::NotRunning);

    tty.withoutModemLines(); // a pseudo-terminal, some adapters
    tty.setBreakError(ENOTTY);
    frame->OnTerminalStart();
    EXPECT_TRUE(pane("paneCounters").startsWith("Rx 0  Tx 0  "));
    EXPECT_EQ(child("paneCounters")->toolTip(),
              "Since the program started: 5 bytes received, 6 bytes sent");
    EXPECT_TRUE(eventually([&] { return child("lampsAbsent")->isVisible(); }));
    EXPECT_FALSE(child("lampCTS")->isVisible() || dtr->isEnabled());
    sendBreak->trigger();
    EXPECT_TRUE(eventually([&] { return status() == "The device cannot send a break."; }));
    frame.reset(); // before the device's calls go
}

} // namespace
