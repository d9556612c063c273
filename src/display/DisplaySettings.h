#pragma once

#include <QString>

#include <cstdint>

// The terminal settings and switches that the display reads; the terminal
// owns them, the display never changes them.
struct DisplaySettings
{
    bool hexMode = false;
    bool timestampPerLine = false;
    bool autoScroll = true;
    bool displayLimitOn = false;
    qint64 displayLimit = 0; // characters
    int hexBytesPerLine = 16;
    bool loggingOn = false;
    QString logFilePath;
    bool charMappingOn = false;
    std::uint32_t autoReplyMask = 0;
};
