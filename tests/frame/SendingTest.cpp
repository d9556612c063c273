// What goes on the wire for typed text, hex input and hotkeys, and the hotkeys
// that answer received text, read at the far end of a test link with the
// dialogs driven headless.
#include "SendingFixture.h"

#include "dialogs/CharMapDlg.h"
#include "frame/CommandIds.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"

#include <QPushButton>
#include <QTest>

namespace {

// `text` between STX and ETX, as every text goes out.
QByteArray framed(const QByteArray &text, const QByteArray &after = {})
{
    return '\x02' + text + '\x03' + after;
}

class Sending : public WindowTest
{
protected:
    void trigger(int i, const QString &text)
    {
        ini("HotKeys", QStringLiteral("HotKeyReceiveText%1").arg(i), text);
    }
    // Sends `bytes` from the far end and lets the display show them (as `shown`).
    bool receive(const QByteArray &bytes, const QByteArray &shown = {})
    {
        const QByteArray expected = displayText() + (shown.isNull() ? bytes : shown);
        link.writeFar(bytes);
        return eventually([&] { return displayText() == expected; });
    }
};

TEST_F(Sending, typedTextGoesOutFramedAndReverseMapped)
{
    start();
    const struct
    {
        QString typed;
        bool crlf, mappingOn;
        std::vector<std::pair<int, QByteArray>> texts;
        QByteArray wire;
    } cases[] = {
        {"x<CR>y", false, true, {{13, "<CR>"}}, framed("x\ry")},
        {"<NUL><NUL>", false, true, {{0, "<NUL>"}}, framed(QByteArrayLiteral("\0\0"))},
        {"a", true, true, {{0x1F, "\x03\r\n"}}, "\2a\x1F"}, // the framing and CR LF take part
        {"<CR>", true, false, {{13, "<CR>"}}, framed("<CR>", "\r\n")},
        {QStringLiteral("\u00C4\u20AC\u0436"), false, false, {}, framed("\xC4\x80?")},
        {QString(QChar(0)), false, false, {}, framed(QByteArrayLiteral("\0"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        frame->charMapTable().clear();
        for (const auto &[code, text] : c.texts)
            frame->charMapTable().setText(code, text);
        frame->settings().display.charMappingOn = c.mappingOn;
        frame->textInput()->setPlainText(c.typed);
        frame->SendInputText(c.crlf);
        EXPECT_EQ(sentSoFar(), c.wire);
    }
}

TEST_F(Sending, clearInputDecidesWhatStaysTheEchoIsRedAndHexInputSendsAtMost1022)
{
    start();
    frame->settings().clearInput = true;
    frame->SendInputText(true); // nothing typed: nothing sent
    frame->textInput()->setPlainText("one");
    frame->SendInputText(false);
    EXPECT_EQ(frame->textInput()->toPlainText(), "");
    frame->settings().clearInput = false;
    frame->textInput()->setPlainText("two");
    frame->SendInputText(true);
    EXPECT_EQ(frame->textInput()->toPlainText(), "two");
    EXPECT_EQ(sentSoFar(), framed("one") + framed("two", "\r\n"));
    EXPECT_EQ(displayText(), "");

    frame->settings().localEcho = true;
    frame->settings().display.charMappingOn = true;
    frame->charMapTable().setText(0, "<NUL>");
    frame->textInput()->setPlainText("a<NUL>b");
    frame->SendInputText(false);
    EXPECT_EQ(sentSoFar(), framed(QByteArrayLiteral("a\0b")));
    // The 0x00 shows by its text again; 0x02 leaves no trace, 0x03 ends the line.
    EXPECT_EQ(displayText(), "a<NUL>b\n");
    const auto &runs = frame->view()->widget()->buffer().colorRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back().color, CRuKTerminalView::kSentColor);

    frame->settings().localEcho = false;
    frame->settings().display.hexMode = true;
    frame->ShowInputControl();
    setHex("AB");
    frame->SendInputText(true); // in hex mode the text send is the hex send, without CR LF
    EXPECT_EQ(hexBytes(), "AB");
    const QByteArray big = QByteArray("0123456789").repeated(110);
    setHex(big);
    frame->SendHexInput();
    EXPECT_EQ(sentSoFar(), framed("AB") + framed(big.left(1022)));
    // Clear input leaves the single byte 0, which Enter then sends.
    frame->settings().clearInput = true;
    setHex("\x10\x20");
    frame->hexEdit()->setFocus();
    QTest::keyClick(frame->hexEdit(), Qt::Key_Return);
    EXPECT_EQ(hexBytes(), QByteArray(1, '\0'));
    QTest::keyClick(frame->hexEdit(), Qt::Key_Return);
    EXPECT_EQ(sentSoFar(), framed("\x10\x20") + framed(QByteArrayLiteral("\0")));
}

TEST_F(Sending, hotKeysSendTheirTextInEachModeAndTheFunctionKeysFireThem)
{
    const struct
    {
        bool hexMode;
        QString text;
        bool crlf, hexFlag, mappingOn;
        QByteArray wire;
    } cases[] = {
        {false, "41", true, true, false, framed("41", "\r\n")}, // text mode ignores the hex flag
        {false, "a<NUL><CR>", false, false, true, framed(QByteArrayLiteral("a\0\r"))},
        {false, QString(300, u'L'), false, false, false, framed(QByteArray(300, 'L'))},
        {false, "", true, false, false, ""}, // CR LF and no text send nothing
        {true, "41 4 2 ff", false, true, false, framed("AB\xFF")},
        {true, "ABC", false, true, false, framed("\xAB\x0C")},
        {true, "41", true, true, false, framed("A\r\n")}, // CR LF inside the frame
        {true, "zz4g-1", false, true, false, framed(QByteArrayLiteral("\0\x04\0"))},
        {true, "", true, true, false, framed("\r\n")},
        {true, "   ", false, true, false, ""},
        {true, QStringLiteral("41").repeated(1023), false, true, false,
         framed(QByteArray(1022, 'A'))},
        {true, "AT", true, false, false, framed("AT\r\n")},           // text through the hex input
        {true, "a<CR><NUL>", false, false, true, framed("a\r<NUL>")}, // code 0 is not mapped there
    };
    start();
    frame->settings().clearInput = true;
    frame->charMapTable().setText(0, "<NUL>");
    frame->charMapTable().setText(13, "<CR>");
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const auto &c = cases[k];
        SCOPED_TRACE(c.text.left(20).toStdString());
        const int i = static_cast<int>(k % 12);
        hotKey(i, c.text, c.crlf, c.hexFlag); // read from the file at every press
        frame->settings().display.hexMode = c.hexMode;
        frame->settings().display.charMappingOn = c.mappingOn;
        frame->FireHotKey(i);
        EXPECT_EQ(sentSoFar(), c.wire);
        EXPECT_FALSE(frame->isHotKeyConfigurationOpen());
    }
    EXPECT_TRUE(ui.events.isEmpty());

    frame->settings().display.hexMode = false;
    hotKey(0, "one");
    hotKey(11, "twelve", true);
    action(CommandId::HotKeyF1)->trigger();
    action(CommandId::HotKeyF1 + 11)->trigger();
    frame->hotKeyBar()->button(11)->click();
    frame->textInput()->setFocus();
    QTest::keyClick(frame->textInput(), Qt::Key_F1);
    EXPECT_EQ(sentSoFar(), framed("one") + framed("twelve", "\r\n").repeated(2) + framed("one"));
}

// Stopped, any hotkey opens the configuration; running, one without text does.
// From a trigger it opens only after the whole block was dealt with (its event
// loop would show further blocks out of turn), never twice, and never over
// another open dialog.
TEST_F(Sending, configurationOpensForKeysWithoutTextAfterTheBlockOnceAndNotOverAnotherDialog)
{
    hotKey(0, "");
    hotKey(1, "pong");
    trigger(0, "X");
    trigger(1, "Y");
    ini("HotKeys", "AutoReply", "3");
    create();
    int hotKeyDialogs = 0;
    QByteArray displayAtOpen, sentAtOpen;
    bool laterBlockShownWhileOpen = false, openedOverTheCharMap = true;
    ModalDriver driver([&](QDialog *d) {
        if (qobject_cast<CCharMapDlg *>(d)) {
            EXPECT_TRUE(receive("X"));
            openedOverTheCharMap = frame->isHotKeyConfigurationOpen();
        } else if (++hotKeyDialogs == 1) {
            ini("HotKeys", "HotKeyText2", "fresh"); // behind its back: Cancel shows it all the same
        } else if (hotKeyDialogs == 2) {
            displayAtOpen = displayText();
            sentAtOpen = sentSoFar();
            link.writeFar("cXdY");
            laterBlockShownWhileOpen = eventually([&] { return displayText() == "aXbYcXdY"; });
        }
        d->reject();
    });
    frame->FireHotKey(1);
    EXPECT_EQ(frame->hotKeyCaption(2), "F3: fresh");
    frame->settings().localEcho = false;
    frame->OnTerminalStart();
    link.writeFar("aXbY");
    ASSERT_TRUE(eventually([&] { return hotKeyDialogs == 2; }));
    ASSERT_TRUE(eventually([&] { return !frame->isHotKeyConfigurationOpen(); }));
    EXPECT_EQ(displayAtOpen, "aXbY");
    EXPECT_EQ(sentAtOpen, framed("pong"));
    EXPECT_TRUE(laterBlockShownWhileOpen);
    ASSERT_TRUE(receive("Y"));
    EXPECT_EQ(displayText(), "aXbYcXdYY");
    EXPECT_EQ(sentSoFar(), framed("pong").repeated(2));
    EXPECT_EQ(driver.opened.size(), 2);

    frame->OnCharacterMapping();
    EXPECT_FALSE(openedOverTheCharMap);
    ASSERT_TRUE(eventually([&] { return driver.opened.size() == 4; }));
    EXPECT_EQ(driver.opened,
              QStringList({"CHotKeyDlg", "CHotKeyDlg", "CCharMapDlg", "CHotKeyDlg"}));
    EXPECT_FALSE(driver.stacked);
}

} // namespace
