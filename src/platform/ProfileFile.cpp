#include "ProfileFile.h"

#include "platform/Codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <climits>

namespace profile {
namespace {

QString decodeFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return codepage::toUnicode(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// One line of the file, split into its parts as far as it is a section header
// or a key line.
struct ParsedLine
{
    enum Kind { Other, Section, Key } kind = Other;
    QString name;  // section or key name, trimmed
    QString value; // value, trimmed
};

ParsedLine parseLine(QStringView line)
{
    ParsedLine parsed;
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';'))
        return parsed;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0) {
            parsed.kind = ParsedLine::Section;
            parsed.name = trimmed.mid(1, close - 1).trimmed().toString();
        }
        return parsed;
    }
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0)
        return parsed;
    parsed.kind = ParsedLine::Key;
    parsed.name = trimmed.left(eq).trimmed().toString();
    QStringView value = trimmed.mid(eq + 1).trimmed();
    // Surrounding quotes are not part of the value; they keep blanks at its ends.
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    parsed.value = value.toString();
    return parsed;
}

// Splits into lines; a trailing CR of each line is removed.
QList<QStringView> splitLines(const QString &text)
{
    QList<QStringView> lines;
    QStringView view(text);
    qsizetype start = 0;
    while (start < view.size()) {
        qsizetype nl = view.indexOf(u'\n', start);
        if (nl < 0)
            nl = view.size();
        QStringView line = view.mid(start, nl - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line);
        start = nl + 1;
    }
    return lines;
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
    const QString text = decodeFile(readFile(path));
    QString section;
    bool inSection = false;
    for (QStringView line : splitLines(text)) {
        ParsedLine parsed = parseLine(line);
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

int getInt(const QString &section, const QString &key, int def, const QString &path)
{
    return Snapshot(path).getInt(section, key, def);
}

QString getString(const QString &section, const QString &key, const QString &def, int maxChars,
                  const QString &path)
{
    return Snapshot(path).getString(section, key, def, maxChars);
}

namespace {

// A value as written: on one line, and quoted where reading would otherwise
// trim blanks or strip quotes.
QString encodeValue(const QString &value)
{
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!v.isEmpty()
        && (v.front().isSpace() || v.back().isSpace()
            || (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))))
        v = u'"' + v + u'"';
    return v;
}

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    // Through a temporary file so that a failure never leaves half a file.
    QSaveFile save(path);
    if (save.open(QIODevice::WriteOnly) && save.write(bytes) == bytes.size() && save.commit())
        return true;
    // A folder that is not writable while the file is: write in place.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &values,
                  const QString &path)
{
    const QByteArray bytes = readFile(path);
    const QString text = decodeFile(bytes);
    const QString eol = bytes.contains("\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");

    // The value each key gets; a key named twice gets its last value.
    QHash<QString, qsizetype> wanted;
    for (qsizetype i = 0; i < values.size(); ++i)
        wanted.insert(values[i].first.toCaseFolded(), i);
    QSet<QString> written;

    const QString s = section.toCaseFolded();
    const QList<QStringView> lines = splitLines(text);
    QStringList out;
    out.reserve(lines.size() + values.size() + 1);
    bool inTarget = false;
    qsizetype insertAt = -1; // after the last line of the first matching section
    bool inFirstTarget = false;
    for (QStringView line : lines) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == ParsedLine::Section) {
            inTarget = parsed.name.toCaseFolded() == s;
            inFirstTarget = inTarget && insertAt < 0;
            if (inFirstTarget)
                insertAt = out.size() + 1;
        } else if (inTarget && parsed.kind == ParsedLine::Key) {
            const QString k = parsed.name.toCaseFolded();
            const auto it = wanted.constFind(k);
            // Only the first occurrence is what reading sees; it takes the value.
            if (it != wanted.constEnd() && !written.contains(k)) {
                written.insert(k);
                out.append(parsed.name + u'=' + encodeValue(values[it.value()].second));
                if (inFirstTarget)
                    insertAt = out.size();
                continue;
            }
        }
        out.append(line.toString());
        if (inFirstTarget && parsed.kind == ParsedLine::Key)
            insertAt = out.size();
    }
    // New keys where their first write would have put them, with their last value.
    QStringList added;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString k = values[i].first.toCaseFolded();
        if (written.contains(k))
            continue;
        written.insert(k);
        added.append(values[i].first + u'=' + encodeValue(values[wanted.value(k)].second));
    }
    if (!added.isEmpty()) {
        if (insertAt >= 0) {
            for (qsizetype i = 0; i < added.size(); ++i)
                out.insert(insertAt + i, added[i]);
        } else {
            out.append(u'[' + section + u']');
            out.append(added);
        }
    }
    return writeWhole(path, (out.join(eol) + eol).toUtf8());
}

bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &path)
{
    return writeStrings(section, {{key, value}}, path);
}

bool writeInt(const QString &section, const QString &key, int value, const QString &path)
{
    return writeString(section, key, QString::number(value), path);
}

} // namespace profile
