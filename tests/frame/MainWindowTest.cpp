#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "frame/MainWindowIndicators.h"
#include "input/HexEdit.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

using Ini = std::vector<std::tuple<const char *, const char *, const char *>>;

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        setClockForTesting([] { return LocalTime{2026, 12, 5, 10, 27, 3, 0}; });
    }
    ~MainWindowTest() override
    {
        frame.reset();
        setClockForTesting({});
    }

    QString iniPath() const { return dir.filePath(QStringLiteral("o.ini")); }
    void writeIni(const Ini &entries)
    {
        for (const auto &[section, key, value] : entries)
            profile::writeString(QLatin1String(section), QLatin1String(key),
                                 QString::fromUtf8(value), iniPath());
    }
    void create()
    {
        frame.reset();
        frame = std::make_unique<CMainFrame>(iniPath(), std::make_unique<CTestPorts>(&link));
        // The tests drive the refresh themselves, one period at a time.
        frame->findChild<QTimer *>(QStringLiteral("refreshTimer"))->stop();
        frame->show();
    }
    template<typename T>
    T *child(const char *name) const
    {
        return frame->findChild<T *>(QLatin1String(name));
    }
    QString pane(const char *name) const { return child<QLabel>(name)->text(); }
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

    QTemporaryDir dir;
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainWindowTest, toolbarAndMenusHoldEveryCommandInOrder)
{
    using namespace CommandId;
    create();
    const std::vector<int> toolbar{FileNew,
                                   FileOpen,
                                   FileSave,
                                   0,
                                   PortSettings,
                                   0,
                                   TerminalStart,
                                   TerminalStop,
                                   0,
                                   SendInputText,
                                   SendFile,
                                   0,
                                   EditCopy,
                                   FilePrint,
                                   0,
                                   ClearInput,
                                   AutoScroll,
                                   LocalEcho,
                                   HexMode,
                                   0,
                                   AppAbout};
    EXPECT_EQ(ids(child<QToolBar>("toolBar")->actions()), toolbar);
    const std::vector<std::vector<int>> menus{
        {FileNew, FileOpen, FileSave, FileSaveAs, 0, LoadSettings, SaveSettings, 0, FilePrint,
         FilePrintPreview, FilePrintSetup, 0, FileMru, 0, AppExit},
        {EditCopy, EditCut, EditDelete, EditSelectAll},
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

TEST_F(MainWindowTest, commandsFollowTheTerminalState)
{
    using namespace CommandId;
    create();
    struct Row
    {
        int id;
        bool enabledStopped, checkedStopped, enabledRunning, checkedRunning;
    };
    const Row rows[] = {
        {TerminalStart, true, false, true, true},
        {SendInputText, false, false, true, false},
        {SendFile, false, false, true, false},
        {SaveSettings, true, false, true, false},
        {SendFileToPrinter, false, false, true, false},
        {ReceivePrinterFile, false, false, true, false},
        {CancelPrinterReception, false, false, false, false},
        {PortSettings, true, false, false, false},
        {MediaGateway, true, false, true, false},
        {CharacterMapping, true, false, true, false},
        {HotKeys, true, false, true, false},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(frame->action(r.id)->isEnabled(), r.enabledStopped) << r.id;
        EXPECT_EQ(frame->action(r.id)->isChecked(), r.checkedStopped) << r.id;
    }
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    for (const Row &r : rows) {
        EXPECT_EQ(frame->action(r.id)->isEnabled(), r.enabledRunning) << r.id;
        EXPECT_EQ(frame->action(r.id)->isChecked(), r.checkedRunning) << r.id;
    }
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
        QFile::remove(iniPath());
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
                                  iniPath());
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

} // namespace
