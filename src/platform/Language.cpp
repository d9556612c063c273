#include "Language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

unsigned languageIdFrom(unsigned primary, unsigned sub)
{
    return ((sub << 10) & 0xFFFFu) | (primary & 0xFFFFu);
}

UiLanguage chooseUiLanguage()
{
    QSettings settings(QStringLiteral("Halvorn"), QStringLiteral("NexLanguageSwitch"));
    bool okLanguage = false;
    bool okSub = false;
    const unsigned primary = settings.value(QStringLiteral("Language")).toUInt(&okLanguage);
    const unsigned sub = settings.value(QStringLiteral("SubLanguage")).toUInt(&okSub);
    if (okLanguage && okSub && (primary != 0 || sub != 0))
        return (languageIdFrom(primary, sub) & 0x3FF) == 0x07 ? UiLanguage::German
                                                              : UiLanguage::English;
    return QLocale::system().language() == QLocale::German ? UiLanguage::German
                                                           : UiLanguage::English;
}

bool installTranslations(UiLanguage language)
{
    if (language != UiLanguage::German)
        return true;
    static QTranslator program;
    static QTranslator qtBase;
    const bool ok = program.load(QStringLiteral(":/i18n/orbaterminal_de.qm"));
    if (ok)
        QCoreApplication::installTranslator(&program);
    // Qt's own texts (standard buttons, file dialogs) in German too.
    if (qtBase.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QStringLiteral("/usr/share/qt6/translations")))
        QCoreApplication::installTranslator(&qtBase);
    return ok;
}
