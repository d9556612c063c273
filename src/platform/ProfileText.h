#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

// The text of a Windows-style profile (INI) file, apart from any file access:
//   [Section]
//   Key=Value
// Section and key names compare without regard to letter case; the first of
// duplicate keys wins; values are taken as they stand (only blanks around them
// are trimmed, and a pair of quotes around them is removed).
//
// Lines end with CR LF, LF or a lone CR (old editors). Each line is read as
// UTF-8 when it is valid UTF-8 and as Windows-1252 otherwise, so a file edited
// by hand in two encodings still reads right; a UTF-8 byte-order mark is
// skipped. Writing changes only the lines of the keys it writes and adds the
// lines it needs: every other byte of the file stays as it was.
namespace profile {

using KeyValues = QList<std::pair<QString, QString>>;

// The decimal number at the start of the value (an optional sign, then digits;
// anything else reads as 0, values beyond 32 bits saturate).
int parseLeadingInt(const QString &value);

// One parse of a profile file for reading many keys at once; holds no file.
class Snapshot
{
public:
    // Reads the file at `path`; a file that cannot be read gives no keys.
    explicit Snapshot(const QString &path);
    static Snapshot fromBytes(const QByteArray &bytes);

    // `def` when the section or key is missing.
    int getInt(const QString &section, const QString &key, int def) const;
    // At most `maxChars` characters of the value (all with a negative limit).
    QString getString(const QString &section, const QString &key, const QString &def,
                      int maxChars) const;
    bool contains(const QString &section, const QString &key) const;

    // Case-folded "section\nkey" to value, the first of duplicate keys.
    const QHash<QString, QString> &entries() const { return m_values; }

private:
    Snapshot() = default;
    void parse(const QByteArray &bytes);
    const QString *find(const QString &section, const QString &key) const;

    QHash<QString, QString> m_values;
};

// `file` with the keys of `section` set to their values, with the effect of
// writing them one after the other: a key that exists (its first occurrence)
// gets its new value in its own line; a new key goes after the last key of the
// first section of that name, or into a new section at the end. New lines end
// like the line they follow (like the file's first line after a last line
// without one); a value is kept on one line (CR and LF become
// blanks) and quoted where reading would otherwise change it.
QByteArray withStrings(const QByteArray &file, const QString &section, const KeyValues &values);

} // namespace profile
