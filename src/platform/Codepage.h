#pragma once

#include <QByteArray>
#include <QString>

// The terminal's 8-bit character set is Windows-1252: received bytes are shown
// with it and typed text is sent with it, so that a byte 0xC4 shows as "Ä" and
// typing "Ä" sends 0xC4.
namespace codepage {

QString toUnicode(const char *data, qsizetype size);
inline QString toUnicode(const QByteArray &bytes)
{
    return toUnicode(bytes.constData(), bytes.size());
}

// For drawing: control characters (below 0x20) become blanks, since they have
// no glyph and a blank keeps the columns of a fixed-pitch font.
QString toPrintable(const char *data, qsizetype size);

// Characters without a Windows-1252 code become "?".
QByteArray fromUnicode(QStringView text);

// The Unicode character of one byte.
char16_t charOf(unsigned char byte);

} // namespace codepage
