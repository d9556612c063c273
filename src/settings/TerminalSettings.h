#pragma once

#include "display/DisplaySettings.h"

#include <QString>

#include <array>
#include <cstdint>

// How texts, hex bytes and hotkeys go out (INI section "Send"). The defaults
// are the r+k devices' framing; values out of range are read as the nearest
// allowed one.
struct SendSettings
{
    static constexpr int kLineEnds = 4;  // 0 nothing, 1 CR, 2 LF, 3 CR LF
    static constexpr int kChecksums = 6; // none and the five kinds (input/Checksum.h)
    static constexpr int kMaxCharDelayMs = 1000;
    static constexpr int kMaxLineDelayMs = 10000;

    bool framing = true;       // STX ... ETX around every text, hex input and hotkey
    int lineEnd = 3;           // what Enter and a hotkey's "+CRLF" add
    int checksum = 0;          // appended to every hex send
    bool checksumText = false; // typed text and text hotkeys get it too
    int charDelayMs = 0;       // between two bytes
    int lineDelayMs = 0;       // after each send

    bool paced() const { return charDelayMs > 0 || lineDelayMs > 0; }
    bool operator==(const SendSettings &) const = default;
};

// The settings and switches of the terminal controller. Values come from the
// INI file unchanged; the code that uses them decides what a value out of
// range means.
struct TerminalSettings
{
    static constexpr int kHotKeys = 12;
    static constexpr const char *kUnknownPeer = "???.???.???.???";

    // Port kind: 1 serial, 2 USB, any other value network.
    int portKind = 1;
    int comPort = 1;
    int baud = 19200;
    int dataBits = 8;
    int stopBits = 1;
    int parity = 0;
    int protocol = 3;
    QString comDevice; // a device path that overrides the COM number
    QString usbDevicePath;
    QString address; // empty: server
    QString peerAddress;
    int portNumber = 0;
    int socketType = 0;

    bool localEcho = true;
    bool clearInput = true;
    DisplaySettings display;
    SendSettings send;

    std::array<QString, kHotKeys> receiveTexts;
};
