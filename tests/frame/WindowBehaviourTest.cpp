// How the window behaves for a user who tries it: its size, the status bar's
// prompt, the keys, the inputs and what the link state says.
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "input/HexEdit.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "platform/ProfileFile.h"
#include "ports/ComPort.h"
#include "support/EventLoopWait.h"
#include "support/Pty.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

class WindowBehaviourTest : public ::testing::Test
{
protected:
    WindowBehaviourTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    QString iniPath() const { return dir.filePath(QStringLiteral("o.ini")); }
    void ini(const char *section, const char *key, const QString &value)
    {
        profile::writeString(QLatin1String(section), QLatin1String(key), value, iniPath());
    }
    // The window on a test link, shown and active as a user has it.
    void create()
    {
        frame = std::make_unique<CMainFrame>(iniPath(), std::make_unique<CTestPorts>(&link));
        frame->show();
        QApplication::setActiveWindow(frame.get());
    }
    QAction *action(int id) const { return frame->action(id); }
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

    QTemporaryDir dir;
    RecordingUiServices ui;
    CTestLinkPort link;
    std::atomic<bool> dsr{true}, cts{true}; // the modem lines a probe reports
    std::unique_ptr<CMainFrame> frame;
};

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
        frame = std::make_unique<CMainFrame>(iniPath()); // the real ports
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

} // namespace
