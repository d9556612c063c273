#pragma once

#include "settings/TerminalSettings.h"
#include "platform/ProfileText.h"

#include <QString>

#include <array>

class CharMapTable;

// The INI file of the terminal: where it lives and how its keys are read.
namespace ConfigStore {

inline constexpr const char *kIniFileName = "ORBATerminal.INI";

// The INI next to the program when that folder already holds it or is
// writable; otherwise in the user's config folder ($XDG_CONFIG_HOME/ORBA).
// `explicitPath` (from --ini) wins when not empty.
QString resolveIniPath(const QString &programDir, const QString &explicitPath);
// The program's folder with a trailing "/".
QString programDirectory();

// Reads every setting of the terminal from `iniPath` into `settings`, the
// mapping table and the hotkey captions ("F%d: %s"). Returns the "UseKeyBar"
// switch. Switches that are not stored (echo, scroll, clear input, hex mode,
// timestamps) are left alone.
bool readSettings(const QString &iniPath, TerminalSettings &settings, CharMapTable &table,
                  std::array<QString, TerminalSettings::kHotKeys> &captions);

// The hotkey bar caption of hotkey `index` (0-11) from the INI file.
QString hotKeyCaption(const QString &iniPath, int index);
QString hotKeyCaption(int index, const QString &text);

// The file name proposed when saving settings: the INI's name with the part
// from its last "." replaced by ".spt".
QString proposedSettingsFileName(const QString &iniPath);

// Copies `from` over `to`; a missing `from` gives an empty `to` (all defaults).
// Returns false when `from` could not be read or `to` could not be written,
// with the reason in `error` when given; `to` is then as it was.
bool copySettingsFile(const QString &from, const QString &to, QString *error = nullptr);

// Writes keys of one section into the INI file, as a dialog's OK does. A
// failure is told to the user (the settings then apply only until the program
// ends; `closing`: the program is ending) and gives false.
bool writeKeys(const QString &iniPath, const QString &section, const profile::KeyValues &values,
               bool closing = false);

} // namespace ConfigStore
