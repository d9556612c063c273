#include "app/Startup.h"
#include "app/TrayIcon.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StartupTest : public ::testing::Test
{
protected:
    StartupTest() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    void create(bool trayAvailable)
    {
        frame.reset();
        frame = std::make_unique<CMainFrame>(dir.filePath("o.ini"),
                                             std::make_unique<CTestPorts>(&link));
        tray = new CTrayIcon(frame.get(), trayAvailable);
    }

    QTemporaryDir dir;
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
    CTrayIcon *tray = nullptr; // a child of the frame
};

TEST_F(StartupTest, automationSwitchIsTakenInAnyLetterCase)
{
    const struct
    {
        QStringList args;
        bool automation;
        QStringList rest;
    } rows[] = {
        {{"orbaterminal", "-Automation"}, true, {"orbaterminal"}},
        {{"orbaterminal", "/automation", "x.ter"}, true, {"orbaterminal", "x.ter"}},
        {{"orbaterminal", "--ini", "a.ini", "-AUTOMATION"},
         true,
         {"orbaterminal", "--ini", "a.ini"}},
        {{"orbaterminal", "--automation"}, false, {"orbaterminal", "--automation"}},
        {{"orbaterminal", "Automation"}, false, {"orbaterminal", "Automation"}},
        {{"-Automation"}, false, {"-Automation"}},
    };
    for (const auto &row : rows) {
        QStringList args = row.args;
        EXPECT_EQ(takeAutomationSwitch(args), row.automation) << row.args.join(' ').toStdString();
        EXPECT_EQ(args, row.rest);
    }
}

// Automation starts the terminal hidden in the tray; the tray brings the
// window back, and once minimized its menu shows or closes it.
TEST_F(StartupTest, automationStartsTheTerminalInTheTrayWhoseMenuShowsOrClosesTheWindow)
{
    create(true);
    StartupOptions options;
    options.automation = true;
    ASSERT_TRUE(startMainWindow(*frame, options));
    EXPECT_FALSE(frame->isRunning()); // started once the event loop runs
    ASSERT_TRUE(eventually([&] { return frame->isRunning() && frame->isHidden(); }));
    EXPECT_TRUE(tray->isShown());
    tray->OnActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(frame->isVisible() && !frame->isMinimized() && frame->isRunning());
    EXPECT_FALSE(tray->isShown());

    QStringList items;
    for (QAction *a : tray->menu()->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"Show ORBATerminal", "Close ORBATerminal"}));
    for (const int id : {CTrayIcon::kShowId, CTrayIcon::kCloseId}) {
        frame->showMinimized();
        ASSERT_TRUE(eventually([&] { return frame->isHidden(); }));
        tray->action(id)->trigger();
        EXPECT_EQ(frame->isVisible(), id == CTrayIcon::kShowId);
    }
    EXPECT_FALSE(tray->isShown());
}

TEST_F(StartupTest, startsRunningMinimizedWithoutATrayOrShownWhenAsked)
{
    const struct
    {
        bool tray, automation, startTerminal, minimized;
    } rows[] = {{false, true, false, true}, {true, false, true, false}};
    for (const auto &row : rows) {
        create(row.tray);
        StartupOptions options;
        options.automation = row.automation;
        options.startTerminal = row.startTerminal;
        ASSERT_TRUE(startMainWindow(*frame, options));
        ASSERT_TRUE(eventually([&] { return frame->isRunning(); }));
        EXPECT_EQ(frame->isMinimized(), row.minimized);
        EXPECT_TRUE(frame->isVisible());
        EXPECT_FALSE(tray->isShown());
    }
}

TEST_F(StartupTest, aDocumentOnTheCommandLineIsShownOrEndsTheStart)
{
    create(false);
    StartupOptions options;
    options.documentPath = dir.filePath("saved.ter");
    ASSERT_TRUE(writeFileBytes(options.documentPath, "saved\r\ntext"));
    ASSERT_TRUE(startMainWindow(*frame, options));
    EXPECT_EQ(frame->view()->widget()->buffer().text(), "saved\ntext");
    EXPECT_TRUE(frame->windowTitle().startsWith("saved.ter"));

    create(false);
    options.documentPath = dir.filePath("gone.ter");
    EXPECT_FALSE(startMainWindow(*frame, options));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(options.documentPath));
    EXPECT_FALSE(frame->isVisible());
}

} // namespace
