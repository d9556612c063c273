#pragma once

#include <QString>

class QCoreApplication;

// The user-interface language: the values "Language"/"SubLanguage" of the
// "Halvorn/NexLanguageSwitch" settings when present and not both 0, otherwise
// the system locale. German (primary language 7) gives German texts; every
// other language gives English.
enum class UiLanguage { English, German };

UiLanguage chooseUiLanguage();
// Language id from primary and sub language, as the registry values combine them.
unsigned languageIdFrom(unsigned primary, unsigned sub);

// Loads the translations of `language` into the application (nothing for English).
bool installTranslations(UiLanguage language);
