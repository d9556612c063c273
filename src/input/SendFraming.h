#pragma once

#include "input/Checksum.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class CharMapTable;

// The bytes that go on the wire for what the user sends. Pure functions; the
// terminal adds the reading of the inputs and the writing to the port.
namespace SendFraming {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
// What the hex input sends at most, framing excluded.
inline constexpr int kMaxHexData = 1022;
// What a hotkey's text is read and sent as at most.
inline constexpr int kMaxHotKeyText = 2046;

// What goes around and after a send. The defaults are the r+k framing.
struct Options
{
    bool framing = true;                            // STX before, ETX after
    QByteArray lineEnd = "\r\n";                    // what Enter and a hotkey's "+CRLF" add
    checksum::Kind checksum = checksum::Kind::None; // after every hex send
    bool checksumText = false;                      // after typed text and text hotkeys too
};

// The bytes of a line-end setting: 3 CR LF, 1 CR, 2 LF, anything else nothing.
QByteArray lineEnd(int setting);
QString lineEndName(int setting);

// The text framed (0x02, text, 0x03 while framing is on), with the checksum
// when `options` give typed text one, then with `withLineEnd` the line end.
// While mapping is on the mapping texts become their bytes (framing and line
// end included), then the text of code 0 becomes the byte 0x00; the checksum
// covers the bytes as they go out. With the defaults: 0x02, text, 0x03, CR LF.
QByteArray inputText(const QByteArray &text, bool withLineEnd, bool mappingOn,
                     const CharMapTable &table, const Options &options = {});

// The texts that the text input sends, one frame each: its lines, split at
// CR LF, LF and CR, without empty ones. A pasted line break thus never goes
// out inside a frame, where it would show nowhere in the input.
QStringList inputLines(const QString &typed);

// At most 1022 of the bytes, framed while framing is on, then the checksum.
QByteArray hexInput(const QByteArray &bytes, const Options &options = {});

// What a Hex-Data hotkey sends without framing: its bytes, the checksum, and
// with `withLineEnd` the line end.
QByteArray hexHotKey(const QByteArray &bytes, bool withLineEnd, const Options &options);

// A hotkey text marked as hexadecimal data, as the hex input takes it: the
// line end's digits added, blanks removed, then two digits per byte (the last
// one alone when their number is odd); each pair converts up to its first
// character that is no hexadecimal digit, none giving 0.
QByteArray hotKeyHexBytes(const QString &text, const QByteArray &lineEnd = {});

// Hex digits in whole pairs, blanks ignored: their bytes (empty for none).
// Anything else, an odd digit or any other character, gives nothing at all,
// so that nothing half-parsed goes out.
std::optional<QByteArray> wholeHexPairs(const QString &text);

// A hotkey text that is sent through the hex input without being hex data:
// its characters with `lineEnd` added, mapping texts turned back into their
// bytes while mapping is on, at most 2046 characters and none from the first
// NUL on.
QByteArray hotKeyTextBytes(const QString &text, const QByteArray &lineEnd, bool mappingOn,
                           const CharMapTable &table);

} // namespace SendFraming
