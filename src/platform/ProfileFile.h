#pragma once

#include "platform/ProfileText.h"

#include <QString>

// Reading and writing of profile (INI) files, key by key. Every function goes
// straight to the file: nothing is cached between calls, so edits by other
// programs are seen at once. A write replaces the file through a temporary
// file (see AtomicFile): whatever happens during it, the file is either the
// old one or the new one, whole.
namespace profile {

// The decimal number at the start of the value; `def` when the section or key
// is missing.
int getInt(const QString &section, const QString &key, int def, const QString &path);

// At most `maxChars` characters of the value; `def` when the section or key is missing.
QString getString(const QString &section, const QString &key, const QString &def, int maxChars,
                  const QString &path);

// Creates the file, the section and the key as needed and replaces the old
// value. Returns false when the file could not be written, with the reason in
// `error` (in the user's language) when given.
bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &path, QString *error = nullptr);
bool writeInt(const QString &section, const QString &key, int value, const QString &path,
              QString *error = nullptr);
// Writes several keys of one section in one go, with the effect of writing
// them one after the other.
bool writeStrings(const QString &section, const KeyValues &values, const QString &path,
                  QString *error = nullptr);

} // namespace profile
