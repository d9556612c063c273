#include "SendFraming.h"

#include "display/CharacterMapping.h"
#include "platform/Codepage.h"

namespace SendFraming {

QByteArray inputText(const QByteArray &text, bool crlf, bool mappingOn, const CharMapTable &table)
{
    QByteArray t;
    t.reserve(text.size() + 4);
    t += kStx;
    t += text;
    t += kEtx;
    if (crlf)
        t += "\r\n";
    if (mappingOn) {
        MapCharacters(t, true, {}, table, true);
        // Code 0 is not part of the reverse mapping: a NUL cannot stand in a
        // text, so its text is turned into the byte only here, on the bytes.
        const QByteArray &zero = table.text(0);
        if (!zero.isEmpty())
            t.replace(zero, QByteArray(1, '\0'));
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

QByteArray hexInput(const QByteArray &bytes)
{
    QByteArray t;
    t.reserve(kMaxHexData + 2);
    t += kStx;
    t += bytes.left(kMaxHexData);
    t += kEtx;
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

QByteArray hotKeyHexBytes(const QString &text, bool crlf)
{
    QString s = text;
    if (crlf)
        s += QStringLiteral("0D0A");
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

QByteArray hotKeyTextBytes(const QString &text, bool crlf, bool mappingOn,
                           const CharMapTable &table)
{
    QByteArray s = codepage::fromUnicode(text);
    if (crlf)
        s += "\r\n";
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
