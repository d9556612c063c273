#pragma once

#include <QString>

#include <cstdint>

// The terminal settings and switches that the display reads. The controller
// owns them; the display changes only lineStartPending.
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
    // The next text shown begins a new line and gets the timestamp.
    bool lineStartPending = true;
};

// What the display hands back to the controller while it shows a block.
class CDisplayHost
{
public:
    virtual ~CDisplayHost() = default;
    virtual bool IsPrinterReceptionActive() const { return false; }
    // May change the block (the header's "*" becomes 0x00) before it is shown.
    virtual void ReceivePrinterFileData(std::uint8_t *, int) {}
    virtual void CheckReceiveTriggers(const std::uint8_t *, int) {}
};
