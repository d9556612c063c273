// What goes on the wire for typed text, hex input and hotkeys, and the hotkeys
// that answer received text, read at the far end of a real link with the
// dialogs driven headless.
#include "SendingFixture.h"

#include "dialogs/CharMapDlg.h"
#include "frame/CommandIds.h"
#include "input/HexEdit.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b += static_cast<char>(v);
    return b;
}

// `text` between STX and ETX, as every text goes out.
QByteArray framed(const QByteArray &text, const QByteArray &after = {})
{
    return '\x02' + text + '\x03' + after;
}

const QByteArray kPong = framed("pong");

class Sending : public WindowTest
{
protected:
    void trigger(int i, const QString &text)
    {
        ini("HotKeys", QStringLiteral("HotKeyReceiveText%1").arg(i), text);
    }
    void autoReply(int mask) { ini("HotKeys", "AutoReply", QString::number(mask)); }
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
        const char *name;
        QString typed;
        bool crlf, mappingOn;
        std::vector<std::pair<int, QByteArray>> texts;
        QByteArray wire;
    } cases[] = {
        {"plain", "AT", false, false, {}, framed("AT")},
        {"Enter adds CR LF", "AT", true, false, {}, framed("AT", "\r\n")},
        {"mapped CR", "x<CR>y", false, true, {{13, "<CR>"}}, framed("x\ry")},
        {"code 0", "a<NUL>b", false, true, {{0, "<NUL>"}}, framed(bytes({'a', 0, 'b'}))},
        {"code 0 twice", "<NUL><NUL>", false, true, {{0, "<NUL>"}}, framed(bytes({0, 0}))},
        {"mapped STX", "<STX>AT", false, true, {{2, "<STX>"}}, framed(bytes({2, 'A', 'T'}))},
        {"framing and CR LF take part", "a", true, true, {{0x1F, "\x03\r\n"}}, bytes({2, 'a', 31})},
        {"lower code wins an overlap",
         "xyz",
         false,
         true,
         {{'A', "xy"}, {'B', "yz"}},
         framed("Az")},
        {"mapping off sends the texts", "<CR>", false, false, {{13, "<CR>"}}, framed("<CR>")},
        {"Windows-1252", QStringLiteral("\u00C4\u20AC"), false, false, {}, framed("\xC4\x80")},
        {"characters without a code", QStringLiteral("\u0436"), false, false, {}, framed("?")},
        {"a NUL typed", QString(QChar(0)), false, false, {}, framed(bytes({0}))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        frame->charMapTable().clear();
        for (const auto &[code, text] : c.texts)
            frame->charMapTable().setText(code, text);
        frame->settings().display.charMappingOn = c.mappingOn;
        frame->textInput()->setPlainText(c.typed);
        frame->SendInputText(c.crlf);
        EXPECT_EQ(sentSoFar(), c.wire);
    }
}

TEST_F(Sending, clearInputDecidesWhatStaysAndTheEchoShowsExactlyTheBytesSentInRed)
{
    start();
    frame->settings().clearInput = true;
    frame->SendInputText(true); // nothing typed: nothing sent
    frame->textInput()->setPlainText("one");
    frame->SendInputText(false);
    EXPECT_EQ(frame->textInput()->toPlainText(), "");
    frame->settings().clearInput = false;
    frame->textInput()->setPlainText("two");
    frame->SendInputText(false);
    frame->SendInputText(false);
    EXPECT_EQ(frame->textInput()->toPlainText(), "two");
    EXPECT_EQ(sentSoFar(), framed("one") + framed("two") + framed("two"));
    frame->textInput()->setFocus();
    QTest::keyClick(frame->textInput(), Qt::Key_Return); // Enter sends with CR LF
    EXPECT_EQ(sentSoFar(), framed("two", "\r\n"));
    EXPECT_EQ(displayText(), "");

    frame->settings().localEcho = true;
    frame->settings().display.charMappingOn = true;
    frame->charMapTable().setText(0, "<NUL>");
    frame->textInput()->setPlainText("a<NUL>b");
    frame->SendInputText(false);
    EXPECT_EQ(sentSoFar(), framed(bytes({'a', 0, 'b'})));
    // The 0x00 shows by its text again; 0x02 leaves no trace, 0x03 ends the line.
    EXPECT_EQ(displayText(), "a<NUL>b\n");
    const auto &runs = frame->view()->widget()->buffer().colorRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back().color, CRuKTerminalView::kSentColor);
}

TEST_F(Sending, hexInputSendsItsBytesFramedAtMost1022)
{
    start();
    frame->settings().display.hexMode = true;
    frame->ShowInputControl();
    ASSERT_NE(frame->hexEdit(), nullptr);
    EXPECT_EQ(hexBytes(), QByteArray(1, '\0')); // as the window set it up
    frame->settings().clearInput = false;
    setHex("AB");
    frame->SendHexInput();
    frame->SendInputText(true); // in hex mode the text send is the hex send, without CR LF
    EXPECT_EQ(sentSoFar(), framed("AB") + framed("AB"));
    EXPECT_EQ(hexBytes(), "AB");

    QByteArray big(1100, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i % 0x7F);
    setHex(big);
    frame->SendHexInput();
    EXPECT_EQ(sentSoFar(), framed(big.left(1022)));

    // Clear input leaves the single byte 0, which Enter then sends.
    frame->settings().clearInput = true;
    setHex("\x10\x20");
    frame->hexEdit()->setFocus();
    QTest::keyClick(frame->hexEdit(), Qt::Key_Return);
    EXPECT_EQ(hexBytes(), QByteArray(1, '\0'));
    QTest::keyClick(frame->hexEdit(), Qt::Key_Return);
    EXPECT_EQ(sentSoFar(), framed("\x10\x20") + framed(bytes({0})));
}

TEST_F(Sending, hotKeysSendTheirTextInEachModeAndTheFunctionKeysFireThem)
{
    const QString longText = QString(300, u'L');
    const struct
    {
        const char *name;
        bool hexMode;
        QString text;
        bool crlf, hexFlag, mappingOn;
        QByteArray wire;
    } cases[] = {
        {"text mode", false, "ATZ", false, false, false, framed("ATZ")},
        {"text mode, CR LF after the frame", false, "ATZ", true, false, false,
         framed("ATZ", "\r\n")},
        {"text mode ignores the hex flag", false, "41", false, true, false, framed("41")},
        {"text mode, mapped", false, "a<NUL><CR>", false, false, true, framed(bytes({'a', 0, 13}))},
        {"longer than a caption", false, longText, false, false, false,
         framed(longText.toLatin1())},
        {"CR LF and no text sends nothing", false, "", true, false, false, ""},
        {"hex data with blanks", true, "41 4 2", false, true, false, framed("AB")},
        {"hex data, odd digit count", true, "ABC", false, true, false, framed(bytes({0xAB, 0x0C}))},
        {"hex data, lower case", true, "ff0a", false, true, false, framed(bytes({0xFF, 0x0A}))},
        {"hex data, CR LF inside the frame", true, "41", true, true, false, framed("A\r\n")},
        {"hex data, no digits give 0", true, "zz4g-1", false, true, false,
         framed(bytes({0, 4, 0}))},
        {"hex data, CR LF alone", true, "", true, true, false, framed("\r\n")},
        {"hex data, only blanks sends nothing", true, "   ", false, true, false, ""},
        {"hex data beyond 1022 bytes", true, QStringLiteral("41").repeated(1023), false, true,
         false, framed(QByteArray(1022, 'A'))},
        {"text through the hex input", true, "AT", true, false, false, framed("AT\r\n")},
        {"text through the hex input, mapped; code 0 is not", true, "a<CR><NUL>", false, false,
         true, framed("a\r<NUL>")},
    };
    start();
    frame->settings().clearInput = true;
    frame->charMapTable().setText(0, "<NUL>");
    frame->charMapTable().setText(13, "<CR>");
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const auto &c = cases[k];
        SCOPED_TRACE(c.name);
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

TEST_F(Sending, triggersAnswerAcrossBlocksAndBothDialogsChangeThemAtOnce)
{
    hotKey(1, "pong");
    trigger(1, "OK");
    hotKey(2, "cr!");
    trigger(2, "<CR>");
    autoReply(6);
    start();
    ASSERT_TRUE(receive("O"));
    ASSERT_TRUE(receive("K"));
    EXPECT_EQ(sentSoFar(), kPong);
    // The O that breaks the match is not taken as a new start.
    ASSERT_TRUE(receive("O"));
    ASSERT_TRUE(receive("OK"));
    EXPECT_EQ(sentSoFar(), "");
    ASSERT_TRUE(receive("xOKOK"));
    EXPECT_EQ(sentSoFar(), kPong + kPong);

    ModalDriver driver([](QDialog *d) {
        if (qobject_cast<CCharMapDlg *>(d)) {
            d->findChild<QCheckBox *>("activeCheck")->setChecked(true);
            d->findChild<QLineEdit *>("codeEdit")->setText("0d");
            d->findChild<QLineEdit *>("textEdit")->setText("<CR>");
            d->findChild<QPushButton *>("addButton")->click();
        } else {
            d->findChild<QLineEdit *>("hotKeyText0")->setText("ping!");
            d->findChild<QCheckBox *>("receiveOn0")->setChecked(true);
            d->findChild<QLineEdit *>("receiveText0")->setText("ping");
        }
        d->findChild<QPushButton *>("okButton")->click();
    });
    frame->OnHotKeys();
    EXPECT_EQ(frame->hotKeyCaption(0), "F1: ping!");
    EXPECT_EQ(iniValue("HotKeys", "AutoReply"), "7");
    EXPECT_EQ(frame->settings().receiveTexts[0], "ping");
    ASSERT_TRUE(receive("ping"));
    EXPECT_EQ(sentSoFar(), framed("ping!"));

    // Mapping on: the trigger text now stands for the byte 0x0D, shown by its name.
    frame->OnCharacterMapping();
    EXPECT_TRUE(frame->settings().display.charMappingOn);
    ASSERT_TRUE(receive("\r", "<CR>"));
    EXPECT_EQ(sentSoFar(), framed("cr!"));
    EXPECT_EQ(driver.opened, QStringList({"CHotKeyDlg", "CCharMapDlg"}));
}

TEST_F(Sending, hotKeyWithoutTextOpensTheConfigurationAndCancelStillRefreshes)
{
    hotKey(0, "");
    hotKey(1, "sent");
    create();
    ModalDriver driver([this](QDialog *d) {
        // Written behind the dialog's back; Cancel must show it all the same.
        ini("HotKeys", "HotKeyText0", "fresh");
        d->reject();
    });
    // Stopped: any hotkey opens the configuration instead of sending.
    frame->FireHotKey(1);
    EXPECT_EQ(driver.opened, QStringList{"CHotKeyDlg"});
    EXPECT_EQ(frame->hotKeyCaption(0), "F1: fresh");
    EXPECT_EQ(iniValue("HotKeys", "HotKeyText1"), "sent"); // Cancel wrote nothing

    // Running: a hotkey with no text and no CR LF does the same.
    hotKey(0, "");
    frame->OnTerminalStart();
    frame->FireHotKey(0);
    EXPECT_EQ(driver.opened.size(), 2);
    EXPECT_EQ(sentSoFar(), "");
}

// A trigger whose hotkey opens the configuration: the dialog opens only after
// the whole block was dealt with (its event loop would show further blocks out
// of turn), never twice, and never over another open dialog.
TEST_F(Sending, configurationFromATriggerOpensAfterTheBlockOnceAndNotOverAnotherDialog)
{
    hotKey(0, "");
    hotKey(1, "pong");
    trigger(0, "X");
    trigger(1, "Y");
    autoReply(3);
    start();
    QByteArray displayAtOpen;
    QByteArray sentAtOpen;
    bool laterBlockShownWhileOpen = false;
    bool openedOverTheCharMap = true;
    ModalDriver driver([&](QDialog *d) {
        if (qobject_cast<CCharMapDlg *>(d)) {
            EXPECT_TRUE(receive("X"));
            openedOverTheCharMap = frame->isHotKeyConfigurationOpen();
        } else if (displayAtOpen.isNull()) {
            displayAtOpen = displayText();
            sentAtOpen = sentSoFar();
            link.writeFar("cXdY");
            laterBlockShownWhileOpen = eventually([&] { return displayText() == "aXbYcXdY"; });
        }
        d->reject();
    });
    link.writeFar("aXbY");
    ASSERT_TRUE(eventually([&] { return !driver.opened.isEmpty(); }));
    ASSERT_TRUE(eventually([&] { return !frame->isHotKeyConfigurationOpen(); }));
    EXPECT_EQ(displayAtOpen, "aXbY");
    EXPECT_EQ(sentAtOpen, kPong);
    EXPECT_TRUE(laterBlockShownWhileOpen);
    ASSERT_TRUE(receive("Y"));
    EXPECT_EQ(displayText(), "aXbYcXdYY");
    EXPECT_EQ(sentSoFar(), kPong + kPong);
    EXPECT_EQ(driver.opened, QStringList{"CHotKeyDlg"});

    frame->OnCharacterMapping();
    EXPECT_FALSE(openedOverTheCharMap);
    ASSERT_TRUE(eventually([&] { return driver.opened.size() == 3; }));
    EXPECT_EQ(driver.opened, QStringList({"CHotKeyDlg", "CCharMapDlg", "CHotKeyDlg"}));
    EXPECT_FALSE(driver.stacked);
}

} // namespace
