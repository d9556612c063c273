// What goes on the wire for typed text, hex input and hotkeys, read at the
// far end of a real link.
#include "SendingFixture.h"

#include <QApplication>
#include <QPushButton>

#include "input/HexEdit.h"
#include "input/HotKeyBar.h"
#include "input/InputEdit.h"

#include <QTest>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b += static_cast<char>(v);
    return b;
}

void setHex(CHexEdit *edit, const QByteArray &data)
{
    edit->SetData(reinterpret_cast<const std::uint8_t *>(data.constData()),
                  static_cast<int>(data.size()));
}

QByteArray hexContent(const CHexEdit *edit)
{
    QByteArray out(edit->GetData(nullptr, 0), '\0');
    edit->GetData(reinterpret_cast<std::uint8_t *>(out.data()), static_cast<int>(out.size()));
    return out;
}

// `text` between STX and ETX, as every text goes out.
QByteArray framed(const QByteArray &text, const QByteArray &after = {})
{
    return '\x02' + text + '\x03' + after;
}

TEST_F(SendingTest, typedTextGoesOutFramedAndReverseMapped)
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
        {"mapped STX",
         "<STX>AT",
         false,
         true,
         {{2, "<STX>"}},
         framed("\x02"
                "AT")},
        {"framing and CR LF take part",
         "a",
         true,
         true,
         {{0x1F, "\x03\r\n"}},
         "\x02"
         "a\x1F"},
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

TEST_F(SendingTest, emptyInputSendsNothingAndClearInputDecidesWhatStays)
{
    start();
    frame->settings().clearInput = true;
    frame->SendInputText(true);
    EXPECT_EQ(sentSoFar(), "");

    frame->textInput()->setPlainText("one");
    frame->SendInputText(false);
    EXPECT_EQ(frame->textInput()->toPlainText(), "");
    frame->settings().clearInput = false;
    frame->textInput()->setPlainText("two");
    frame->SendInputText(false);
    frame->SendInputText(false);
    EXPECT_EQ(frame->textInput()->toPlainText(), "two");
    EXPECT_EQ(sentSoFar(), "\x02one\x03\x02two\x03\x02two\x03");

    // Enter in the text input sends with CR LF.
    frame->textInput()->setFocus();
    QTest::keyClick(frame->textInput(), Qt::Key_Return);
    EXPECT_EQ(sentSoFar(), "\x02two\x03\r\n");
}

TEST_F(SendingTest, localEchoShowsExactlyTheBytesSentInRed)
{
    start();
    frame->settings().localEcho = true;
    frame->settings().display.charMappingOn = true;
    frame->charMapTable().setText(0, "<NUL>");
    frame->textInput()->setPlainText("a<NUL>b");
    frame->SendInputText(false);
    EXPECT_EQ(sentSoFar(), bytes({2, 'a', 0, 'b', 3}));
    // The display maps the 0x00 back to its text; 0x02 leaves no trace and
    // 0x03 ends the line.
    EXPECT_EQ(displayText(), "a<NUL>b\n");
    const auto &runs = frame->view()->widget()->buffer().colorRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back().color, CRuKTerminalView::kSentColor);

    frame->settings().localEcho = false;
    frame->textInput()->setPlainText("quiet");
    frame->SendInputText(false);
    EXPECT_EQ(sentSoFar(), "\x02quiet\x03");
    EXPECT_EQ(displayText(), "a<NUL>b\n");
}

TEST_F(SendingTest, hexInputSendsItsBytesFramedAtMost1022)
{
    start();
    frame->settings().display.hexMode = true;
    frame->ShowInputControl();
    CHexEdit *hex = frame->hexEdit();
    ASSERT_NE(hex, nullptr);
    EXPECT_EQ(hexContent(hex), QByteArray(1, '\0')); // as the window set it up

    frame->settings().clearInput = false;
    setHex(hex, "AB");
    frame->SendHexInput();
    // In hex mode the text send is the hex send, without CR LF.
    frame->SendInputText(true);
    EXPECT_EQ(sentSoFar(), "\x02"
                           "AB\x03\x02"
                           "AB\x03");
    EXPECT_EQ(hexContent(hex), "AB");

    QByteArray big(1100, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i % 0x7F);
    setHex(hex, big);
    frame->SendHexInput();
    EXPECT_EQ(sentSoFar(), '\x02' + big.left(1022) + '\x03');

    // Clear input leaves the single byte 0, which Enter then sends.
    frame->settings().clearInput = true;
    setHex(hex, "\x10\x20");
    hex->setFocus();
    QTest::keyClick(hex, Qt::Key_Return);
    EXPECT_EQ(hexContent(hex), QByteArray(1, '\0'));
    QTest::keyClick(hex, Qt::Key_Return);
    EXPECT_EQ(sentSoFar(), bytes({2, 0x10, 0x20, 3, 2, 0, 3}));
}

TEST_F(SendingTest, hotKeysSendTheirTextInEachMode)
{
    const QString longText = QString(300, u'L');
    const QString hexPairs = QStringLiteral("41").repeated(1023);
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
        {"hex data beyond 1022 bytes", true, hexPairs, false, true, false,
         framed(QByteArray(1022, 'A'))},
        {"text through the hex input", true, "AT", true, false, false, framed("AT\r\n")},
        {"text through the hex input, mapped; code 0 is not", true, "a<CR><NUL>", false, false,
         true, framed("a\r<NUL>")},
    };
    for (std::size_t k = 0; k < std::size(cases); ++k)
        hotKey(static_cast<int>(k % 12), cases[k].text, cases[k].crlf, cases[k].hexFlag);
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
}

TEST_F(SendingTest, functionKeysFireTheirHotKeys)
{
    hotKey(0, "one");
    hotKey(11, "twelve", true);
    start();
    ASSERT_NE(frame->action(32781), nullptr);
    frame->action(32781)->trigger();
    frame->action(32792)->trigger();
    frame->hotKeyBar()->button(11)->click();
    EXPECT_EQ(sentSoFar(), framed("one") + framed("twelve", "\r\n").repeated(2));
    // The keys themselves, pressed while the text input has the focus.
    QApplication::setActiveWindow(frame.get());
    frame->textInput()->setFocus();
    QTest::keyClick(frame->textInput(), Qt::Key_F1);
    EXPECT_EQ(sentSoFar(), "\x02one\x03");
}

} // namespace
