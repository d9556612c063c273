#include "ProfileFile.h"

#include "platform/Codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &path)
{
    const QByteArray bytes = readFile(path);
    const QString text = decodeFile(bytes);
    const bool crlf = bytes.contains("\r\n");
    const QString eol = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    // A value cannot span lines; a line break in it would create keys of its own.
    QString cleanValue = value;
    cleanValue.replace(u'\r', u' ').replace(u'\n', u' ');
    // Quoted where reading would otherwise trim blanks or strip quotes.
    if (!cleanValue.isEmpty()
        && (cleanValue.front().isSpace() || cleanValue.back().isSpace()
            || (cleanValue.size() >= 2 && cleanValue.startsWith(u'"') && cleanValue.endsWith(u'"'))))
        cleanValue = u'"' + cleanValue + u'"';

    const QList<QStringView> lines = splitLines(text);
    QStringList out;
    out.reserve(lines.size() + 2);
    const QString s = section.toCaseFolded();
    const QString k = key.toCaseFolded();
    bool inTarget = false;
    bool sectionFound = false;
    bool done = false;
    qsizetype lastKeyLineOfTarget = -1;
    for (QStringView line : lines) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == ParsedLine::Section) {
            inTarget = !done && parsed.name.toCaseFolded() == s;
            if (inTarget) {
                sectionFound = true;
                lastKeyLineOfTarget = out.size();
            }
        } else if (inTarget && !done && parsed.kind == ParsedLine::Key
                   && parsed.name.toCaseFolded() == k) {
            out.append(parsed.name + u'=' + cleanValue);
            done = true;
            continue;
        }
        if (inTarget && parsed.kind == ParsedLine::Key)
            lastKeyLineOfTarget = out.size();
        out.append(line.toString());
    }
    if (!done) {
        if (sectionFound) {
            out.insert(lastKeyLineOfTarget + 1, key + u'=' + cleanValue);
        } else {
            out.append(u'[' + section + u']');
            out.append(key + u'=' + cleanValue);
        }
    }
    const QByteArray result = (out.join(eol) + eol).toUtf8();

    // Write through a temporary file so that a failure never leaves half a file.
    QSaveFile save(path);
    if (save.open(QIODevice::WriteOnly) && save.write(result) == result.size() && save.commit())
        return true;
    // A folder that is not writable while the file is: write in place.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(result) == result.size();
}

bool writeInt(const QString &section, const QString &key, int value, const QString &path)
{
    return writeString(section, key, QString::number(value), path);
}

} // namespace profile
