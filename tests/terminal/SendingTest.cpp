// What goes on the wire for typed text, hex bytes, hotkeys and auto-replies.
#include "TerminalFixture.h"

#include "support/FileBytes.h"
#include "transfer/FileSender.h"

namespace {

using Sending = TerminalTest;
using Result = CTerminal::SendResult;

TEST_F(Sending, typedTextGoesOutFramedAndMappedAndHexBytesAtMost1022)
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
        // Each pasted line is a text of its own; empty lines go nowhere.
        {"one\r\n\ntwo\rthree",
         true,
         false,
         {},
         framed("one", "\r\n") + framed("two", "\r\n") + framed("three", "\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        terminal->charMapTable().clear();
        for (const auto &[code, text] : c.texts)
            terminal->charMapTable().setText(code, text);
        terminal->settings().display.charMappingOn = c.mappingOn;
        EXPECT_TRUE(terminal->SendText(c.typed, c.crlf) == Result::Sent && sentSoFar() == c.wire);
    }
    EXPECT_TRUE(terminal->SendText("\n\r\n", true) == Result::Nothing && displayText().isEmpty());

    terminal->settings().localEcho = true;
    terminal->settings().display.charMappingOn = true;
    terminal->charMapTable().setText(0, "<NUL>");
    terminal->SendText("a<NUL>b", false);
    EXPECT_EQ(sentSoFar(), framed(QByteArrayLiteral("a\0b")));
    // The 0x00 shows by its text again; 0x02 leaves no trace, 0x03 ends the line.
    EXPECT_EQ(displayText(), "a<NUL>b\n");

    const QByteArray big = QByteArray("0123456789").repeated(110);
    EXPECT_EQ((std::tuple{terminal->SendHexBytes(big), terminal->SendHexBytes({}), sentSoFar()}),
              (std::tuple{Result::Sent, Result::Nothing, framed(big.left(1022))}));
}

TEST_F(Sending, hotKeysSendTheirTextInEachModeAndAnEmptyOneAsksForItsConfiguration)
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
        {true, "  ", false, true, false, ""},                         // blanks only: nothing
    };
    start();
    int configurations = 0;
    QObject::connect(terminal.get(), &CTerminal::hotKeyConfigurationRequested,
                     [&] { ++configurations; });
    terminal->charMapTable().setText(0, "<NUL>");
    terminal->charMapTable().setText(13, "<CR>");
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const auto &c = cases[k];
        SCOPED_TRACE(c.text.left(20).toStdString());
        const int i = static_cast<int>(k % 12);
        hotKey(i, c.text, c.crlf, c.hexFlag); // read from the file at every press
        terminal->settings().display.hexMode = c.hexMode;
        terminal->settings().display.charMappingOn = c.mappingOn;
        terminal->FireHotKey(i);
        EXPECT_EQ(sentSoFar(), c.wire);
    }
    EXPECT_TRUE(configurations == 0 && ui.events.isEmpty());
    hotKey(3, "");
    terminal->FireHotKey(3);
    terminal->OnTerminalStop();
    hotKey(3, "AT");
    terminal->FireHotKey(3); // stopped: nothing can be sent
    EXPECT_EQ(configurations, 2);
}

// Triggers in pieces are answered in the mode shown; a textless hotkey's asks for its setup.
TEST_F(Sending, autoRepliesAnswerTriggersAcrossBlocks)
{
    const char *triggers[] = {"PING", "HEX?", "CFG?"};
    hotKey(0, "PONG", true);
    hotKey(1, "50 4F", false, true);
    hotKey(2, "");
    for (int i = 0; i < 3; ++i)
        ini("HotKeys", QStringLiteral("HotKeyReceiveText%1").arg(i), triggers[i]);
    ini("HotKeys", "AutoReply", "7");
    start();
    const auto receive = [&](const QByteArray &bytes) {
        const qsizetype until
            = displayText().size() + (terminal->settings().display.hexMode ? 1 : bytes.size());
        link.writeFar(bytes);
        return eventually([&] { return displayText().size() >= until; });
    };
    ASSERT_TRUE(receive("xPI") && receive("NG"));
    EXPECT_EQ(sentSoFar(), framed("PONG", "\r\n"));
    terminal->setHexMode(true);
    ASSERT_TRUE(receive("HEX?"));
    EXPECT_EQ(sentSoFar(), framed("PO"));
    terminal->setHexMode(false);
    ASSERT_TRUE(receive("HEX?"));
    EXPECT_EQ(sentSoFar(), framed("50 4F"));
    bool showingWhenAsked = false;
    QObject::connect(terminal.get(), &CTerminal::hotKeyConfigurationRequested,
                     [&] { showingWhenAsked = terminal->isShowingBlocks(); });
    ASSERT_TRUE(receive("CFG?"));
    EXPECT_TRUE(showingWhenAsked);
}

// Text typed behind a streaming file waits; Stop ends the send and tells what never went.
TEST_F(Sending, aStopEndsAFileSendAndTellsOfTheTextHeldBehindIt)
{
    start();
    const QString path = dir.filePath("big.bin");
    ASSERT_TRUE(writeFileBytes(path, QByteArray(4 << 20, 'f')));
    link.holdWriter(true);
    ASSERT_EQ(terminal->openFileToSend(path, false), CTerminal::FileOpen::Ok);
    terminal->startFileSend();
    ASSERT_TRUE(terminal->isFileSendBusy() && terminal->fileSender()->holdsBackOtherSends());
    EXPECT_EQ((std::pair{terminal->SendText("AT", true), terminal->SendHexBytes("\x01\x02")}),
              (std::pair{Result::Sent, Result::Sent}));
    terminal->OnTerminalStop();
    EXPECT_TRUE(!terminal->isFileSendBusy() && ui.beeps >= 1
                && lines.contains("Not sent: 10 bytes; the terminal is stopped."))
        << status().toStdString();
    link.holdWriter(false);
}

} // namespace
