// What the window's inputs, hotkey bar and file commands send, and show afterwards.
#include "SendingFixture.h"

#include "frame/CommandIds.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"
#include "support/FileBytes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {

using Sending = WindowTest;

TEST_F(Sending, theInputsKeepOrEmptyWhatWasSentAndHotKeysGoThroughThem)
{
    start();
    CInputEdit *input = frame->textInput();
    frame->settings().clearInput = true;
    input->setPlainText("one");
    frame->SendInputText(false);
    EXPECT_EQ(input->toPlainText(), "");
    frame->settings().clearInput = false;
    input->setPlainText("two");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_TRUE(input->toPlainText() == "two"
                && sentSoFar() == framed("one") + framed("two", "\r\n"));
    // Up brings back what was typed, not what a hotkey sent.
    hotKey(0, "one");
    hotKey(11, "twelve", true);
    frame->hotKeyBar()->button(11)->click();
    EXPECT_EQ(input->toPlainText(), "twelve"); // clear input is off
    input->setFocus();
    QTest::keyClick(input, Qt::Key_F1);
    EXPECT_EQ(sentSoFar(), framed("twelve", "\r\n") + framed("one"));
    input->clear();
    QTest::keyClick(input, Qt::Key_Up);
    EXPECT_EQ(input->toPlainText(), "two");

    // In hex mode Enter sends the hex input, without CR LF; a hotkey's bytes land there.
    action(CommandId::HexMode)->trigger();
    frame->hexEdit()->SetData(reinterpret_cast<const std::uint8_t *>("AB"), 2);
    frame->SendInputText(true);
    hotKey(1, "41 42", true, true);
    frame->FireHotKey(1);
    EXPECT_EQ(frame->hexEdit()->model().data(), std::vector<std::uint8_t>({'A', 'B', 13, 10}));
    frame->settings().clearInput = true;
    frame->FireHotKey(1);
    EXPECT_TRUE(frame->hexEdit()->model().data() == std::vector<std::uint8_t>({0})
                && sentSoFar() == framed("AB") + framed("AB\r\n").repeated(2));

    // An auto-reply leaves what is being typed in either input alone.
    frame->hexEdit()->SetData(reinterpret_cast<const std::uint8_t *>("C"), 1);
    input->setPlainText("half typed");
    frame->settings().display.autoReplyMask = 1;
    frame->settings().receiveTexts[0] = "PING";
    frame->terminal().PrepareReceiveTriggers();
    link.writeFar("PING");
    ASSERT_TRUE(eventually([&] { return !displayText().isEmpty(); }));
    EXPECT_EQ(sentSoFar().toHex(' '), framed("one").toHex(' '));
    EXPECT_TRUE(input->toPlainText() == "half typed"
                && frame->hexEdit()->model().data() == std::vector<std::uint8_t>({'C'}));
}

// The port pane tells framing is off; a Hex-Data hotkey sends bytes and CRC in text mode.
TEST_F(Sending, sendOptionsFromTheSettingsMenuActAtOnce)
{
    hotKey(0, "01 03 00 00 00 01", false, true);
    start();
    ModalDriver driver([](QDialog *dialog) {
        dialog->findChild<QComboBox *>("framing")->setCurrentIndex(1);
        dialog->findChild<QComboBox *>("checksum")->setCurrentIndex(1);
        dialog->accept();
    });
    const QList<QAction *> settingsMenu = frame->menuBar()->actions().at(4)->menu()->actions();
    ASSERT_TRUE(settingsMenu.contains(action(CommandId::SendOptions)));
    action(CommandId::SendOptions)->trigger();
    EXPECT_EQ(driver.opened, QStringList{"CSendOptionsDlg"});
    EXPECT_EQ(pane("panePort"), "COM1,19200,N,8,1,H, no STX/ETX");
    EXPECT_EQ(child("panePort")->toolTip(),
              "Sending: without STX and ETX, line end CR LF, checksum CRC-16/MODBUS (low byte "
              "first) (Settings > Send options...).");
    frame->textInput()->setPlainText("AT");
    frame->FireHotKey(0); // the text input keeps what is typed there
    QTest::keyClick(frame->textInput(), Qt::Key_Return);
    EXPECT_EQ(sentSoFar(), QByteArray::fromHex("010300000001840A") + "AT\r\n");
}

// For a key without text or while stopped; for received triggers once, after the block.
TEST_F(Sending, hotKeyConfigurationOpensWhenAKeyCannotBeSent)
{
    hotKey(0, "");
    ini("HotKeys", "HotKeyReceiveText0", "GO");
    ini("HotKeys", "AutoReply", "1");
    create();
    int displayedWhenOpened = -1;
    ModalDriver driver([&](QDialog *dialog) {
        displayedWhenOpened = static_cast<int>(displayText().size());
        dialog->reject();
    });
    frame->FireHotKey(0); // stopped
    EXPECT_TRUE(eventually([&] { return driver.opened.size() == 1; }));
    frame->settings().localEcho = false;
    frame->OnTerminalStart();
    frame->FireHotKey(0); // running, no text
    EXPECT_TRUE(eventually([&] { return driver.opened.size() == 2; }));
    link.writeFar("GO GO!");
    EXPECT_TRUE(eventually([&] { return driver.opened.size() == 3; })); // one for both triggers
    EXPECT_TRUE(displayedWhenOpened == 6 && driver.opened == QStringList(3, "CHotKeyDlg")
                && !frame->isHotKeyConfigurationOpen());
}

// Each proposes a name: the file's own to send, the printer file's to receive.
TEST_F(Sending, fileCommandsAskForFileAndNameAndShowTheHeaderInTheInput)
{
    start();
    const QString path = dir.filePath("greeting.txt");
    ASSERT_TRUE(writeFileBytes(path, "hello"));
    QStringList proposed;
    ModalDriver driver([&](QDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileName"));
        proposed << edit->text();
        edit->setText("DIR\\HELLO.TXT");
        dialog->accept();
    });
    frame->settings().clearInput = false;
    ui.files = {path};
    action(CommandId::SendFileToPrinter)->trigger();
    const QByteArray header = framed("#T=DIR\\HELLO.TXT,5,907060870*") + "hello";
    QByteArray got; // the header follows the file's CRC, taken between the window's events
    EXPECT_TRUE(eventually([&] {
        got += link.readFar(header.size() - got.size(), std::chrono::milliseconds(1));
        return got.size() >= header.size();
    }));
    EXPECT_TRUE(got == header
                && frame->textInput()->toPlainText() == "#T=DIR\\HELLO.TXT,5,907060870*");
    ASSERT_TRUE(eventually([&] { return action(CommandId::SendFile)->isEnabled(); }));
    ui.files = {dir.filePath("in.txt")};
    action(CommandId::ReceivePrinterFile)->trigger();
    EXPECT_EQ(sentSoFar(), framed("#G=DIR\\HELLO.TXT*"));
    EXPECT_TRUE(proposed == QStringList({"greeting.txt", ""})
                && ui.fileDialogs.back().proposedName == "HELLO.TXT"
                && action(CommandId::CancelPrinterReception)->isEnabled());
}

} // namespace
