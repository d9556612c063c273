#pragma once

#include "display/DisplaySettings.h"

#include <QString>

#include <array>
#include <cstdint>

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

    std::array<QString, kHotKeys> receiveTexts;
};
