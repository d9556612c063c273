#include "app/Startup.h"
#include "app/TrayIcon.h"
#include "dialogs/PortSettingsDlg.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"
#include "support/ProgramTest.h"
#include "support/Pty.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// The window, not shown yet, and its tray icon where the desktop has a tray.
class StartupTest : public ProgramTest<CMainFrame>
{
protected:
    void createWithTray(bool trayAvailable)
    {
        create();
        tray = new CTrayIcon(frame.get(), trayAvailable);
    }

    std::unique_ptr<CMainFrame> &frame = program;
    CTrayIcon *tray = nullptr; // a child of the frame
};

TEST_F(StartupTest, automationSwitchIsTakenInAnyLetterCase)
{
    // Each command line and what is left of it once the switch is taken.
    const std::pair<QStringList, QStringList> rows[] = {
        {{"orbaterminal", "-Automation"}, {"orbaterminal"}},
        {{"orbaterminal", "/automation", "x.ter"}, {"orbaterminal", "x.ter"}},
        {{"orbaterminal", "a.ter", "-AUTOMATION"}, {"orbaterminal", "a.ter"}},
        {{"orbaterminal", "--automation"}, {"orbaterminal", "--automation"}},
        {{"orbaterminal", "Automation"}, {"orbaterminal", "Automation"}},
        {{"-Automation"}, {"-Automation"}},
    };
    for (auto [args, rest] : rows) {
        const bool taken = rest.size() < args.size();
        EXPECT_EQ(takeAutomationSwitch(args), taken) << rest.join(' ').toStdString();
        EXPECT_EQ(args, rest);
    }
}

// Automation hides in the tray, or runs minimized without one; a start runs shown.
// The tray brings the window back; once minimized, its menu shows or closes it.
TEST_F(StartupTest, automationRunsInTheTrayOrMinimizedAndTheTrayShowsOrClosesTheWindow)
{
    // Tray available, automation (else asked to start); the last stays for the tray.
    const std::pair<bool, bool> rows[] = {{false, true}, {true, false}, {true, true}};
    for (const auto &[trayAvailable, automation] : rows) {
        createWithTray(trayAvailable);
        CommandLine options;
        options.automation = automation;
        options.start = !automation;
        ASSERT_TRUE(startMainWindow(*frame, options));
        EXPECT_FALSE(frame->isRunning()); // started once the event loop runs
        const bool inTray = trayAvailable && automation;
        ASSERT_TRUE(eventually([&] { return frame->isRunning() && frame->isVisible() != inTray; }));
        EXPECT_EQ((std::pair{frame->isMinimized(), tray->isShown()}),
                  (std::pair{automation, inTray}));
    }
    tray->OnActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(frame->isVisible() && !frame->isMinimized() && frame->isRunning()
                && !tray->isShown());

    for (const int id : {CTrayIcon::kShowId, CTrayIcon::kCloseId}) {
        frame->showMinimized();
        ASSERT_TRUE(eventually([&] { return frame->isHidden(); }));
        EXPECT_EQ(tray->action(id)->text(),
                  id == CTrayIcon::kShowId ? "Show ORBATerminal" : "Close ORBATerminal");
        tray->action(id)->trigger();
        EXPECT_EQ(frame->isVisible(), id == CTrayIcon::kShowId);
    }
    EXPECT_FALSE(tray->isShown());
}

TEST_F(StartupTest, aDocumentOnTheCommandLineIsShownOrEndsTheStart)
{
    createWithTray(false);
    CommandLine options;
    options.documentPath = dir.filePath("saved.ter");
    ASSERT_TRUE(writeFileBytes(options.documentPath, "saved\r\ntext"));
    ASSERT_TRUE(startMainWindow(*frame, options));
    EXPECT_TRUE(frame->view()->widget()->buffer().text() == "saved\ntext"
                && frame->windowTitle().startsWith("saved.ter"));
    // A file dropped on the window opens as well; a drag of mere text is not taken.
    ASSERT_TRUE(writeFileBytes(dir.filePath("dropped.ter"), "dropped"));
    QMimeData file, text;
    file.setUrls({QUrl::fromLocalFile(dir.filePath("dropped.ter"))});
    text.setText(dir.filePath("dropped.ter"));
    for (QMimeData *data : {&text, &file}) {
        QDragEnterEvent enter({1, 1}, Qt::CopyAction, data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(frame.get(), &enter);
        QApplication::sendEvent(frame.get(), &drop);
        EXPECT_EQ(enter.isAccepted() && drop.isAccepted(), data == &file);
        QApplication::processEvents();
    }
    EXPECT_EQ(frame->view()->widget()->buffer().text(), "dropped");

    createWithTray(false);
    options.documentPath = dir.filePath("gone.ter");
    EXPECT_FALSE(startMainWindow(*frame, options));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(options.documentPath) && !frame->isVisible());
}

// On the real port; the INI learns of the link only when the port settings are confirmed.
TEST_F(StartupTest, aCommandLineLinkRunsAtOnceAndReachesTheIniOnlyThroughThePortSettings)
{
    PtyPair pty;
    const QByteArray iniBytes = "[Com]\nUseSerial=0\n[Display]\nUseKeyBar=1\n";
    ASSERT_TRUE(writeFileBytes(iniPath, iniBytes));
    create(true);
    const QStringList args = {"orbaterminal", "--serial", pty.devicePath(), "--baud",      "9600",
                              "--handshake",  "none",     "--hex",          "--timestamps"};
    ASSERT_TRUE(startMainWindow(*frame, parseCommandLine(args)));
    ASSERT_TRUE(eventually([&] { return frame->isRunning(); }));
    EXPECT_TRUE(frame->action(CommandId::HexMode)->isChecked()
                && frame->action(CommandId::Timestamp)->isChecked());
    frame->OnTerminalStop();
    EXPECT_EQ(fileBytes(iniPath), iniBytes);
    CPortSettingsDlg(frame->settings(), iniPath, frame.get()).accept();
    const QByteArray written = fileBytes(iniPath);
    for (const char *key : {"UseSerial=1", "Baud=9600", "Protocol=0"})
        EXPECT_TRUE(written.contains(key)) << key;
    EXPECT_TRUE(written.contains("Device=" + pty.devicePath().toUtf8()));
}

} // namespace
