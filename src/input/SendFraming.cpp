#include "SendFraming.h"

#include "display/CharacterMapping.h"
#include "platform/Codepage.h"

#include <QCoreApplication>

namespace SendFraming {

namespace {
// Mapping texts back into their bytes; code 0 is not part of the reverse
// mapping (a NUL cannot stand in a text), so its text becomes the byte here.
void mapBack(QByteArray &t, const CharMapTable &table)
{
    MapCharacters(t, true, {}, table, true);
    const QByteArray &zero = table.text(0);
    if (!zero.isEmpty())
        t.replace(zero, QByteArray(1, '\0'));
}

// The checksum of a send covers everything but a leading STX.
QByteArray checksumOf(const QByteArray &sent, const Options &options)
{
    const QByteArrayView covered = options.framing && sent.startsWith(kStx)
                                       ? QByteArrayView(sent).sliced(1)
                                       : QByteArrayView(sent);
    return checksum::of(options.checksum, covered);
}

QByteArray framed(const QByteArray &bytes, const Options &options)
{
    return options.framing ? kStx + bytes + kEtx : bytes;
}
} // namespace

QByteArray lineEnd(int setting)
{
    switch (setting) {
    case 1:
        return "\r";
    case 2:
        return "\n";
    case 3:
        return "\r\n";
    default:
        return {};
    }
}

QString lineEndName(int setting)
{
    switch (setting) {
    case 1:
        return QStringLiteral("CR");
    case 2:
        return QStringLiteral("LF");
    case 3:
        return QStringLiteral("CR LF");
    default:
        return QCoreApplication::translate("SendFraming", "nothing");
    }
}

QByteArray inputText(const QByteArray &text, bool withLineEnd, bool mappingOn,
                     const CharMapTable &table, const Options &options)
{
    QByteArray t = framed(text, options);
    if (!options.checksumText || options.checksum == checksum::Kind::None) {
        if (withLineEnd)
            t += options.lineEnd;
        if (mappingOn)
            mapBack(t, table);
        return t;
    }
    // The checksum is taken of the bytes as they go out and stands between
    // the frame and the line end, so the two are mapped on their own.
    if (mappingOn)
        mapBack(t, table);
    t += checksumOf(t, options);
    if (withLineEnd) {
        QByteArray end = options.lineEnd;
        if (mappingOn)
            mapBack(end, table);
        t += end;
    }
    return t;
}

QStringList inputLines(const QString &typed)
{
    QStringList lines;
    QString line;
    for (const QChar c : typed) {
        if (c == u'\r' || c == u'\n') {
            if (!line.isEmpty())
                lines << line;
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QByteArray hexInput(const QByteArray &bytes, const Options &options)
{
    QByteArray t = framed(bytes.left(kMaxHexData), options);
    t += checksumOf(t, options);
    return t;
}

QByteArray hexHotKey(const QByteArray &bytes, bool withLineEnd, const Options &options)
{
    QByteArray t = framed(bytes, options);
    t += checksumOf(t, options);
    if (withLineEnd)
        t += options.lineEnd;
    return t;
}

namespace {
int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}
} // namespace

QByteArray hotKeyHexBytes(const QString &text, const QByteArray &lineEnd)
{
    // The line end goes in as digits before the pairs are taken, so that an
    // odd digit count shifts it as it always did.
    QString s = text + QString::fromLatin1(lineEnd.toHex().toUpper());
    // No case mapping of the whole text: it could change its length ("ß").
    s.remove(u' ');
    QByteArray bytes;
    bytes.reserve(s.size() / 2 + 1);
    for (qsizetype i = 0; i < s.size(); i += 2) {
        int value = 0;
        for (qsizetype k = i; k < std::min(i + 2, s.size()); ++k) {
            const int d = hexDigit(s[k]);
            if (d < 0)
                break;
            value = value * 16 + d;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::optional<QByteArray> wholeHexPairs(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    int high = -1;
    for (const QChar c : text) {
        if (c == u' ')
            continue;
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        if (high < 0) {
            high = d;
        } else {
            bytes += static_cast<char>(high * 16 + d);
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

QByteArray hotKeyTextBytes(const QString &text, const QByteArray &lineEnd, bool mappingOn,
                           const CharMapTable &table)
{
    QByteArray s = codepage::fromUnicode(text);
    s += lineEnd;
    if (mappingOn) {
        MapCharacters(s, true, {}, table, true);
        s.truncate(kMaxHotKeyText);
    }
    const qsizetype nul = s.indexOf('\0');
    if (nul >= 0)
        s.truncate(nul);
    return s;
}

} // namespace SendFraming
