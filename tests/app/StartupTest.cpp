#include "app/Startup.h"
#include "app/TrayIcon.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QFile>
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
        frame = std::make_unique<CMainFrame>(dir.filePath(QStringLiteral("o.ini")),
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

TEST_F(StartupTest, automationStartsTheTerminalHiddenInTheTray)
{
    create(true);
    StartupOptions options;
    options.automation = true;
    ASSERT_TRUE(startMainWindow(*frame, options));
    EXPECT_FALSE(frame->isRunning()); // started once the event loop runs
    ASSERT_TRUE(eventually([&] { return frame->isRunning() && frame->isHidden(); }));
    EXPECT_TRUE(tray->isShown());

    // A double click brings the window back and takes the icon away.
    tray->OnActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_FALSE(tray->isShown());
    EXPECT_TRUE(frame->isRunning());
}

TEST_F(StartupTest, startsRunningMinimizedWithoutATrayOrShownWhenAsked)
{
    const struct
    {
        bool tray, automation, startTerminal, minimized;
    } rows[] = {{false, true, false, true}, {true, false, true, false}};
    for (const auto &row : rows) {
        frame.reset();
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

TEST_F(StartupTest, trayMenuShowsOrClosesTheWindow)
{
    create(true);
    ASSERT_TRUE(startMainWindow(*frame, {}));
    QStringList items;
    for (QAction *a : tray->menu()->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"Show ORBATerminal", "Close ORBATerminal"}));

    frame->showMinimized();
    ASSERT_TRUE(eventually([&] { return frame->isHidden(); }));
    tray->action(CTrayIcon::kShowId)->trigger();
    EXPECT_TRUE(frame->isVisible());
    frame->showMinimized();
    ASSERT_TRUE(eventually([&] { return frame->isHidden(); }));
    tray->action(CTrayIcon::kCloseId)->trigger();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(tray->isShown());
}

TEST_F(StartupTest, aDocumentOnTheCommandLineIsShownOrEndsTheStart)
{
    create(false);
    QFile file(dir.filePath(QStringLiteral("saved.ter")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("saved\r\ntext");
    file.close();
    StartupOptions options;
    options.documentPath = file.fileName();
    ASSERT_TRUE(startMainWindow(*frame, options));
    EXPECT_EQ(frame->view()->widget()->buffer().text(), QByteArray("saved\ntext"));
    EXPECT_TRUE(frame->windowTitle().startsWith(QLatin1String("saved.ter")));

    frame.reset();
    create(false);
    options.documentPath = dir.filePath(QStringLiteral("gone.ter"));
    EXPECT_FALSE(startMainWindow(*frame, options));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(options.documentPath));
    EXPECT_FALSE(frame->isVisible());
}

} // namespace
