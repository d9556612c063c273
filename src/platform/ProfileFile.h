#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include <QString>
#include <utility>

// Reading and writing of Windows-style profile (INI) files:
//   [Section]
//   Key=Value
// Section and key names compare without regard to letter case; the first of
// duplicate keys wins; values are taken as they stand (only blanks around them
// are trimmed). Every free function goes straight to the file: nothing is
// cached between calls, so edits by other programs are seen at once.
//
// The file is read as UTF-8 when it is valid UTF-8 and as Windows-1252
// otherwise (settings files copied from older installations); it is written as
// UTF-8, keeping the line-end style (CR LF or LF) the file already has.
namespace profile {

// The decimal number at the start of the value (an optional sign, then digits;
// anything else reads as 0, values beyond 32 bits saturate); `def` when the
// section or key is missing.
int getInt(const QString &section, const QString &key, int def, const QString &path);

// At most `maxChars` characters of the value; `def` when the section or key is missing.
QString getString(const QString &section, const QString &key, const QString &def, int maxChars,
                  const QString &path);

// Creates the file, the section and the key as needed and replaces the old value.
// Returns false when the file could not be written.
bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &path);
bool writeInt(const QString &section, const QString &key, int value, const QString &path);
// Writes several keys of one section in one go, with the effect of writing
// them one after the other.
bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &values,
                  const QString &path);

// Parses a value the way getInt does.
int parseLeadingInt(const QString &value);

// One parse of a profile file for reading many keys at once (for example all
// settings at start-up); holds no file handle.
class Snapshot
{
public:
    explicit Snapshot(const QString &path);

    int getInt(const QString &section, const QString &key, int def) const;
    QString getString(const QString &section, const QString &key, const QString &def,
                      int maxChars) const;
    bool contains(const QString &section, const QString &key) const;

private:
    const QString *find(const QString &section, const QString &key) const;

    // Case-folded "section\nkey" to value; the first of duplicate keys wins.
    QHash<QString, QString> m_values;
};

} // namespace profile
