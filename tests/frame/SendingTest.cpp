// What goes on the wire for typed text, hex input and hotkeys, read at the far
// end of a test link.
#include "SendingFixture.h"

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

using Sending = WindowTest;

TEST_F(Sending, typedTextGoesOutFramedAndMappedClearInputDecidesWhatStaysHexSendsAtMost1022)
{
    start();
    const struct
    {
        QString typed;
        bool crlf, mappingOn;
        std::vector<std::pair<int, QByteArray>> texts;
        QByteArray wire;
    } cases[] = {
        {"a", true, true, {{0x1F, "\x03\r\n"}}, "\2a\x1F"}, // the framing and CR LF take part
        {"<CR>", true, false, {{13, "<CR>"}}, framed("<CR>", "\r\n")},
        {QStringLiteral("\u00C4\u20AC\u0436"), false, false, {}, framed("\xC4\x80?")},
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

    frame->settings().clearInput = true;
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

    frame->settings().localEcho = false;
    frame->settings().display.hexMode = true;
    frame->ShowInputControl();
    frame->hexEdit()->SetData(reinterpret_cast<const std::uint8_t *>("AB"), 2);
    frame->SendInputText(true); // in hex mode the text send is the hex send, without CR LF
    const QByteArray big = QByteArray("0123456789").repeated(110);
    frame->hexEdit()->SetData(reinterpret_cast<const std::uint8_t *>(big.constData()), 1100);
    frame->SendHexInput();
    EXPECT_EQ(sentSoFar(), framed("AB") + framed(big.left(1022)));
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
        {false, "", true, false, false, ""},                // CR LF and no text send nothing
        {true, "41", true, true, false, framed("A\r\n")},   // CR LF inside the frame
        {true, "AT", true, false, false, framed("AT\r\n")}, // text through the hex input
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
    frame->hotKeyBar()->button(11)->click();
    frame->textInput()->setFocus();
    QTest::keyClick(frame->textInput(), Qt::Key_F1);
    EXPECT_EQ(sentSoFar(), framed("twelve", "\r\n") + framed("one"));
}

} // namespace
