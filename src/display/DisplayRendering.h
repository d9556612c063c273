#pragma once

#include "display/CharacterMapping.h"
#include "platform/Clock.h"

#include <QByteArray>

#include <cstdint>

// Pure conversions of bytes into display text.

// Text mode: drops 0x02, shows 0x00 as "." (or the text of code 0 while
// mapping is on), turns 0x03 and a CR not followed by LF within the block into
// LF (a lone CR stays CR while code 10 or 13 is mapped). Never yields a NUL.
QByteArray convertBytesForDisplay(const std::uint8_t *data, qsizetype length, bool mappingOn,
                                  const CharMapTable &table);
// The same into `out`, whose room is used again (a display converts a block
// at a time).
void convertBytesForDisplay(const std::uint8_t *data, qsizetype length, bool mappingOn,
                            const CharMapTable &table, QByteArray &out);

// "\n%02d.%02d.%04d %02d:%02d:%02d.%03d - ": a line feed, then date and time.
QByteArray formatTimestamp(const LocalTime &time);

// Hex mode: "%02X " per byte, "\r\n" before every byte whose column counter is
// a multiple of `bytesPerLine` (values below 1 count as 1). `column` counts on.
QByteArray renderHex(const std::uint8_t *data, qsizetype length, int &column, int bytesPerLine);
