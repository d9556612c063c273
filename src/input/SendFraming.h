#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CharMapTable;

// The bytes that go on the wire for what the user sends. Pure functions; the
// main window adds the reading of its controls and the writing to the port.
namespace SendFraming {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
// What the hex input sends at most, framing excluded.
inline constexpr int kMaxHexData = 1022;
// What a hotkey's text is read and sent as at most.
inline constexpr int kMaxHotKeyText = 2046;

// 0x02, the text, 0x03 and with `crlf` CR LF; while mapping is on the mapping
// texts become their bytes (framing and CR LF included), then the text of
// code 0 becomes the byte 0x00.
QByteArray inputText(const QByteArray &text, bool crlf, bool mappingOn, const CharMapTable &table);

// The texts that the text input sends, one frame each: its lines, split at
// CR LF, LF and CR, without empty ones. A pasted line break thus never goes
// out inside a frame, where it would show nowhere in the input.
QStringList inputLines(const QString &typed);

// 0x02, at most 1022 of the bytes, 0x03.
QByteArray hexInput(const QByteArray &bytes);

// A hotkey text marked as hexadecimal data: blanks removed, then two digits
// per byte (the last one alone when their number is odd); each pair converts
// up to its first character that is no hexadecimal digit, none giving 0.
// With `crlf` the digits "0D0A" are added first.
QByteArray hotKeyHexBytes(const QString &text, bool crlf);

// A hotkey text that is sent through the hex input without being hex data:
// its characters with "\r\n" added for `crlf`, mapping texts turned back into
// their bytes while mapping is on, at most 2046 characters and none from the
// first NUL on.
QByteArray hotKeyTextBytes(const QString &text, bool crlf, bool mappingOn,
                           const CharMapTable &table);

} // namespace SendFraming
