// The display's context menu and Ctrl+F in the window: the menu shows the
// window's own commands, and the find bar opens wherever the user types.
#include "display/DisplayWidget.h"
#include "display/FindBar.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "input/InputEdit.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class DisplayCommandsTest : public ::testing::Test
{
protected:
    DisplayCommandsTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        frame = std::make_unique<CMainFrame>(dir.filePath(QStringLiteral("o.ini")),
                                             std::make_unique<CTestPorts>(&link));
        frame->show();
        QApplication::setActiveWindow(frame.get());
    }
    CDisplayWidget *display() const { return frame->view()->widget(); }
    void receive(const QByteArray &bytes)
    {
        frame->view()->AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                       static_cast<int>(bytes.size()), true);
    }
    QAction *action(int id) const { return frame->action(id); }

    QTemporaryDir dir;
    RecordingUiServices ui;
    CTestLinkPort link;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(DisplayCommandsTest, theContextMenuHoldsTheWindowsOwnCommands)
{
    using namespace CommandId;
    std::unique_ptr<QMenu> menu(display()->createContextMenu(nullptr));
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), 10);
    // The same actions as the menus: their shortcuts and check marks.
    const QList<QAction *> same{
        action(EditCopy),  action(EditSelectAll), frame->view()->findAction(), nullptr,
        nullptr,           action(FileSave),      action(FilePrint),           nullptr,
        action(Timestamp), action(HexMode)};
    for (int i = 0; i < items.size(); ++i) {
        if (same[i]) {
            EXPECT_EQ(items[i], same[i]) << i;
        } else if (i != 4) {
            EXPECT_TRUE(items[i]->isSeparator()) << i;
        }
    }
    QAction *clear = items[4];
    EXPECT_EQ(clear->text(), QStringLiteral("Clear display"));
    EXPECT_EQ(clear->shortcut(), action(FileNew)->shortcut());
    EXPECT_EQ(items[2]->shortcut(), QKeySequence(QKeySequence::Find));

    // Each does what its menu command does.
    receive("shown text");
    items[1]->trigger(); // Select all, the display having the focus
    EXPECT_EQ(display()->selectedText(), QStringLiteral("shown text"));
    EXPECT_FALSE(items[8]->isChecked());
    items[8]->trigger();
    EXPECT_TRUE(frame->settings().display.timestampPerLine);
    EXPECT_TRUE(action(Timestamp)->isChecked());
    items[8]->trigger();
    EXPECT_FALSE(action(Timestamp)->isChecked());
    clear->trigger();
    EXPECT_TRUE(display()->plainText().isEmpty());
    receive("more");
    items[9]->trigger();
    EXPECT_TRUE(frame->settings().display.hexMode);
    EXPECT_TRUE(action(HexMode)->isChecked());
    EXPECT_TRUE(display()->plainText().isEmpty()); // hex mode starts an empty display
    items[2]->trigger();
    EXPECT_TRUE(frame->view()->findBar()->isVisible());
}

TEST_F(DisplayCommandsTest, aRightClickOpensTheMenuWithTheFocusOnTheDisplay)
{
    frame->activateWindow();
    ASSERT_TRUE(eventually([&] { return frame->isActiveWindow(); }));
    frame->textInput()->setFocus();
    const QPoint at(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, display()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(display()->viewport(), &event);
    ASSERT_TRUE(eventually([] { return QApplication::activePopupWidget() != nullptr; }));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(action(CommandId::EditCopy)));
    EXPECT_TRUE(display()->hasFocus());
    menu->close();
    EXPECT_TRUE(eventually([] { return QApplication::activePopupWidget() == nullptr; }));
}

TEST_F(DisplayCommandsTest, ctrlFOpensTheFindBarAlsoWhileTypingAndEscapeGoesBack)
{
    EXPECT_TRUE(
        frame->menuBar()->actions().at(1)->menu()->actions().contains(frame->view()->findAction()));
    frame->activateWindow();
    ASSERT_TRUE(eventually([&] { return frame->isActiveWindow(); }));
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    CInputEdit *input = frame->textInput();
    input->setFocus();
    ASSERT_TRUE(eventually([&] { return input->hasFocus(); }));
    QTest::keyClicks(input, "abc");
    QTest::keyClick(input, Qt::Key_F, Qt::ControlModifier);
    CFindBar *bar = frame->view()->findBar();
    ASSERT_TRUE(bar->isVisible());
    auto *text = bar->findChild<QLineEdit *>(QStringLiteral("findText"));
    EXPECT_TRUE(eventually([&] { return text->hasFocus(); }));
    EXPECT_EQ(input->toPlainText(), QStringLiteral("abc"));
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(eventually([&] { return input->hasFocus(); }));

    // From the display, Escape there closes the bar too.
    display()->setFocus();
    QTest::keyClick(display(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    display()->setFocus();
    QTest::keyClick(display(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
}

} // namespace
