// Framing, line ends, checksums, pacing and binary auto-replies, as they arrive.
#include "TerminalFixture.h"

#include "support/Pty.h"

namespace {

using SendOptions = TerminalTest;

TEST_F(SendOptions, framingLineEndsAndChecksumsGiveTheseWireBytes)
{
    // Framing, line end, checksum, on typed text, hex mode; what is sent (t: text
    // with Enter, s: text without, x: hex input, k: hotkey F1 "+CRLF", h: the same
    // marked Hex-Data); the bytes on the wire. The first rows are the defaults.
    const struct
    {
        bool framing;
        int lineEnd, checksum;
        bool checksumText, hexMode;
        char what;
        const char *input;
        QByteArray wire;
    } rows[] = {
        {true, 3, 0, false, false, 't', "AT", "\2AT\3\r\n"},
        {true, 3, 0, false, false, 's', "AT", "\2AT\3"},
        {true, 3, 0, false, false, 'x', "0102", "\2\1\2\3"},
        {true, 3, 0, false, false, 'h', "41 42", framed("41 42", "\r\n")},
        {true, 3, 0, false, true, 'h', "41 42", "\2AB\r\n\3"},
        {false, 1, 0, false, false, 't', "AT", "AT\r"},
        {false, 2, 0, false, false, 'k', "AT", "AT\n"},
        {false, 0, 0, false, false, 't', "AT", "AT"},
        {true, 1, 3, true, false, 't', "AT", "\2AT\3\x16\r"}, // BCC of AT ETX, then the line end
        {true, 3, 3, false, false, 't', "AT", "\2AT\3\r\n"},  // text without its checksum
        {true, 3, 1, false, false, 'x', "010300000001", hex("02010300000001034A62")},
        {false, 3, 1, false, false, 'x', "010300000001", hex("010300000001840A")},
        {false, 3, 5, false, false, 'x', "010300000001", hex("010300000001FB")},
        {false, 2, 2, true, false, 't', "AT", hex("415439830A")},
        {false, 1, 1, false, false, 'h', "01 03 00 00 00 01", hex("010300000001840A0D")},
        {false, 1, 1, false, true, 'h', "01 03 00 00 00 01", hex("0103000000010DCBA6")},
        {false, 1, 1, false, false, 'h', "01 03 0", ""}, // not whole pairs: left out
    };
    start();
    for (const auto &r : rows) {
        SCOPED_TRACE(r.wire.toHex(' ').toStdString());
        SendSettings &s = terminal->settings().send;
        s = {r.framing, r.lineEnd, r.checksum, r.checksumText, 0, 0};
        terminal->settings().display.hexMode = r.hexMode;
        hotKey(0, r.input, true, r.what == 'h');
        if (r.what == 't' || r.what == 's')
            terminal->SendText(r.input, r.what == 't');
        else if (r.what == 'x')
            terminal->SendHexBytes(hex(r.input));
        else
            terminal->FireHotKey(0);
        EXPECT_EQ(sentSoFar(), r.wire);
    }
    EXPECT_EQ(status(), "F1 was not sent: with framing \"none\" its Hex-Data must be whole pairs "
                        "of hex digits (Settings > Hotkeys...).");
    // The echo shows the bytes as they went out, checksum and line end included.
    terminal->settings().localEcho = true;
    terminal->setHexMode(true);
    terminal->SendHexBytes(hex("010300000001"));
    EXPECT_EQ(sentSoFar(), hex("010300000001840A"));
    EXPECT_EQ(displayText(), "\n01 03 00 00 00 01 84 0A ");
}

// A Modbus request in two pieces gets F1's answer in either mode; odd hex is told once.
TEST_F(SendOptions, aHexTriggerAnswersABinaryRequestAcrossBlocks)
{
    ini("Send", "Framing", "0");
    ini("Send", "Checksum", "1");
    hotKey(0, "01 03 02 00 2A", false, true);
    hotKey(1, "01 03 02 00 2B", false, true);
    ini("HotKeys", "HotKeyReceiveText0", "01 03 00 00 00 01 84 0A");
    ini("HotKeys", "HotKeyReceiveText1", "01 03 00 00 00 0");
    ini("HotKeys", "AutoReply", "3");
    start();
    terminal->PrepareReceiveTriggers(); // as after the hotkey dialog: told in one line
    EXPECT_EQ(lines, QStringList{"Left out of sending and auto-reply: F2. With framing \"none\" "
                                 "their Hex-Data must be whole pairs of hex digits."});
    for (const bool hexMode : {false, true}) {
        terminal->setHexMode(hexMode);
        const auto receive = [&](const QByteArray &bytes) {
            const qsizetype until = displayText().size() + 1;
            link.writeFar(bytes);
            return eventually([&] { return displayText().size() >= until; });
        };
        ASSERT_TRUE(receive(hex("010300")) && receive(hex("000001840A")));
        EXPECT_EQ(sentSoFar(), hex("010302002A399B")) << hexMode;
    }
}

// On a pseudo-terminal; only lower bounds, as a slow machine only stretches the pauses.
TEST_F(SendOptions, pacedSendsKeepTheirPausesAndStopCutsThemShort)
{
    PtyPair pty;
    ini("Com", "Device", pty.devicePath());
    ini("Com", "Protocol", "0");
    ini("Send", "Framing", "0");
    ini("Send", "LineEnd", "1");
    ini("Send", "CharDelay", "20");
    ini("Send", "LineDelay", "500");
    start(true);
    std::vector<int> progress;
    QObject::connect(terminal.get(), &CTerminal::sendProgressStarted,
                     [&](int blocks) { progress.push_back(blocks); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ((std::pair{terminal->SendText("ab\ncd", true), terminal->SendHexBytes(hex("0102"))}),
              (std::pair{CTerminal::SendResult::Sent, CTerminal::SendResult::Sent}));
    EXPECT_EQ(pty.read(6), "ab\rcd\r");
    // 2 x 20 ms, 500 after the line; 2 x 20, 500 after the next line.
    const qint64 linesOut = clock.elapsed();
    EXPECT_EQ(pty.read(2), hex("0102"));
    EXPECT_TRUE(linesOut >= 580 && clock.elapsed() >= 1100) << linesOut;
    EXPECT_EQ(progress, std::vector<int>{2});
    EXPECT_TRUE(eventually([&] { return !terminal->isWritePending(); }));

    const QByteArray many(60, 'x');
    terminal->SendHexBytes(many);
    const QByteArray first = pty.read(3);
    terminal->OnTerminalStop();
    ASSERT_TRUE(eventually([&] { return status().startsWith("Not sent"); }));
    const qsizetype got = first.size() + pty.read(60, 300).size();
    EXPECT_LT(got, 60);
    EXPECT_EQ(status(),
              QStringLiteral("Not sent: %1 bytes; the terminal is stopped.").arg(60 - got));
}

} // namespace
