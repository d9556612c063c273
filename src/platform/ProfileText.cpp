#include "ProfileText.h"

#include "platform/Codepage.h"

#include <QFile>
#include <QSet>

#include <climits>

namespace profile {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

qsizetype bomLength(const QByteArray &bytes)
{
    return bytes.startsWith(kBom) ? 3 : 0;
}

// One line of the file: its text [begin, end) and its line end [end, next).
struct LineRef
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// The line that starts at `pos`; false at the end of the bytes.
bool nextLine(const QByteArray &bytes, qsizetype &pos, LineRef &line)
{
    const qsizetype size = bytes.size();
    if (pos >= size)
        return false;
    const char *data = bytes.constData();
    qsizetype i = pos;
    while (i < size && data[i] != '\n' && data[i] != '\r')
        ++i;
    line.begin = pos;
    line.end = i;
    if (i < size)
        i += (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
    line.next = i;
    pos = i;
    return true;
}

// The line end new lines get: the file's first one, LF for a file without any.
QByteArray lineEndOf(const QByteArray &bytes)
{
    qsizetype pos = 0;
    LineRef line;
    while (nextLine(bytes, pos, line)) {
        if (line.next > line.end)
            return bytes.mid(line.end, line.next - line.end);
    }
    return QByteArrayLiteral("\n");
}

bool isValidUtf8(const char *p, qsizetype n)
{
    const auto *s = reinterpret_cast<const unsigned char *>(p);
    qsizetype i = 0;
    while (i < n) {
        const unsigned c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int follow;
        unsigned min;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1, min = 0x80, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2, min = 0x800, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= follow)
            return false;
        for (int k = 1; k <= follow; ++k) {
            const unsigned f = s[i + k];
            if ((f & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (f & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

QString decodeLine(const char *p, qsizetype n)
{
    if (isValidUtf8(p, n))
        return QString::fromUtf8(p, n);
    return codepage::toUnicode(p, n);
}

// A line as far as it is a section header or a key line.
struct ParsedLine
{
    enum Kind { Other, Section, Key } kind = Other;
    QString name;  // section or key name, trimmed
    QString value; // value, trimmed and unquoted
};

// Blanks around names and values; a byte-order mark (a file glued to the end
// of another) counts as one.
bool isBlank(QChar c)
{
    return c.isSpace() || c == u'\uFEFF';
}

QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

ParsedLine parseLine(QStringView line)
{
    ParsedLine parsed;
    const QStringView trimmed = trimmedView(line);
    if (trimmed.isEmpty() || trimmed.startsWith(u';'))
        return parsed;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0) {
            parsed.kind = ParsedLine::Section;
            parsed.name = trimmedView(trimmed.mid(1, close - 1)).toString();
        }
        return parsed;
    }
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0)
        return parsed;
    parsed.kind = ParsedLine::Key;
    parsed.name = trimmedView(trimmed.left(eq)).toString();
    QStringView value = trimmedView(trimmed.mid(eq + 1));
    // Surrounding quotes are not part of the value; they keep blanks at its ends.
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    parsed.value = value.toString();
    return parsed;
}

ParsedLine parseLine(const QByteArray &bytes, const LineRef &line)
{
    return parseLine(decodeLine(bytes.constData() + line.begin, line.end - line.begin));
}

// A value as written: on one line, and quoted where reading would otherwise
// trim blanks or strip quotes.
QString encodeValue(const QString &value)
{
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!v.isEmpty()
        && (isBlank(v.front()) || isBlank(v.back())
            || (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))))
        v = u'"' + v + u'"';
    return v;
}

// The key line `line` with `value` in place of its old value. The name, the
// "=" and the blanks after it stay as they were. The new line is UTF-8; so a
// line that was read as Windows-1252 gets its name in UTF-8 too, and reads
// back with the same name.
QByteArray replacedKeyLine(const QByteArray &bytes, const LineRef &line, const QString &value)
{
    const char *data = bytes.constData();
    qsizetype valueStart = line.begin;
    while (data[valueStart] != '=')
        ++valueStart;
    ++valueStart;
    while (valueStart < line.end && (data[valueStart] == ' ' || data[valueStart] == '\t'))
        ++valueStart;
    QByteArray prefix = bytes.mid(line.begin, valueStart - line.begin);
    if (!isValidUtf8(data + line.begin, line.end - line.begin))
        prefix = codepage::toUnicode(prefix).toUtf8();
    return prefix + encodeValue(value).toUtf8();
}

bool endsLine(const QByteArray &out, qsizetype at, qsizetype start)
{
    return at <= start || out[at - 1] == '\n' || out[at - 1] == '\r';
}

} // namespace

int parseLeadingInt(const QString &value)
{
    QStringView v = QStringView(value).trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+')) {
        negative = v[i] == u'-';
        ++i;
    }
    long long number = 0;
    for (; i < v.size() && v[i] >= u'0' && v[i] <= u'9'; ++i) {
        number = number * 10 + (v[i].unicode() - u'0');
        if (number > 1LL + INT_MAX)
            number = 1LL + INT_MAX; // saturate, but keep reading the digits
    }
    if (negative)
        number = -number;
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

Snapshot::Snapshot(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        parse(file.readAll());
}

Snapshot Snapshot::fromBytes(const QByteArray &bytes)
{
    Snapshot snapshot;
    snapshot.parse(bytes);
    return snapshot;
}

void Snapshot::parse(const QByteArray &bytes)
{
    QString section;
    bool inSection = false;
    qsizetype pos = bomLength(bytes);
    LineRef line;
    while (nextLine(bytes, pos, line)) {
        ParsedLine parsed = parseLine(bytes, line);
        if (parsed.kind == ParsedLine::Section) {
            section = parsed.name.toCaseFolded();
            inSection = true;
        } else if (parsed.kind == ParsedLine::Key && inSection) {
            const QString id = section + u'\n' + parsed.name.toCaseFolded();
            if (!m_values.contains(id))
                m_values.insert(id, parsed.value);
        }
    }
}

const QString *Snapshot::find(const QString &section, const QString &key) const
{
    const auto it = m_values.constFind(section.toCaseFolded() + u'\n' + key.toCaseFolded());
    return it == m_values.constEnd() ? nullptr : &it.value();
}

bool Snapshot::contains(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

int Snapshot::getInt(const QString &section, const QString &key, int def) const
{
    const QString *value = find(section, key);
    return value ? parseLeadingInt(*value) : def;
}

QString Snapshot::getString(const QString &section, const QString &key, const QString &def,
                            int maxChars) const
{
    const QString *value = find(section, key);
    const QString &text = value ? *value : def;
    return maxChars >= 0 ? text.left(maxChars) : text;
}

QByteArray withStrings(const QByteArray &file, const QString &section, const KeyValues &values)
{
    const QByteArray eol = lineEndOf(file);
    // The value each key gets; a key named twice gets its last value.
    QHash<QString, qsizetype> wanted;
    for (qsizetype i = 0; i < values.size(); ++i)
        wanted.insert(values[i].first.toCaseFolded(), i);
    QSet<QString> written;

    const QString s = section.toCaseFolded();
    const qsizetype start = bomLength(file);
    QByteArray out = file.left(start);
    out.reserve(file.size() + 64 * values.size() + 64);
    bool inTarget = false;
    bool inFirstTarget = false;
    qsizetype insertAt = -1; // after the last key line of the first matching section
    // New lines end like the line they follow: a lone CR put before a line
    // that starts with LF would join it into one CR LF line end.
    QByteArray insertEol = eol;
    QByteArray lastEol = eol; // the end of the file's last line, when it has one
    qsizetype pos = start;
    LineRef line;
    while (nextLine(file, pos, line)) {
        const ParsedLine parsed = parseLine(file, line);
        const QByteArray ending
            = line.next > line.end ? file.mid(line.end, line.next - line.end) : eol;
        lastEol = ending;
        if (parsed.kind == ParsedLine::Section) {
            inTarget = parsed.name.toCaseFolded() == s;
            inFirstTarget = inTarget && insertAt < 0;
        } else if (inTarget && parsed.kind == ParsedLine::Key) {
            const QString k = parsed.name.toCaseFolded();
            const auto it = wanted.constFind(k);
            // Only the first occurrence is what reading sees; it takes the value.
            if (it != wanted.constEnd() && !written.contains(k)) {
                written.insert(k);
                out += replacedKeyLine(file, line, values[it.value()].second);
                out += ending;
                if (inFirstTarget) {
                    insertAt = out.size();
                    insertEol = ending;
                }
                continue;
            }
        }
        out.append(file.constData() + line.begin, line.next - line.begin);
        if (inFirstTarget && parsed.kind != ParsedLine::Other) {
            insertAt = out.size();
            insertEol = ending;
        }
    }

    // New keys where their first write would have put them, with their last value.
    if (insertAt < 0)
        insertEol = lastEol;
    QByteArray added;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString k = values[i].first.toCaseFolded();
        if (written.contains(k))
            continue;
        written.insert(k);
        added += (values[i].first + u'=' + encodeValue(values[wanted.value(k)].second)).toUtf8();
        added += insertEol;
    }
    if (added.isEmpty())
        return out;
    if (insertAt < 0) {
        added.prepend('[' + section.toUtf8() + ']' + insertEol);
        insertAt = out.size();
    }
    // A last line without a line end gets one before anything follows it.
    if (!endsLine(out, insertAt, start))
        added.prepend(eol);
    out.insert(insertAt, added);
    return out;
}

} // namespace profile
