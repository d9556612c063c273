// The language switch chooses the texts; German comes whole, the program's texts and Qt's.
#include "platform/Language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Language, theSwitchChoosesTheLanguageAndGermanIsInstalled)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const UiLanguage bySystem = QLocale::system().language() == QLocale::German
                                    ? UiLanguage::German
                                    : UiLanguage::English;
    const std::tuple<const char *, const char *, UiLanguage> rows[] = {
        {"7", "1", UiLanguage::German},
        {"1031", "0", UiLanguage::German}, // 0x407
        {"9", "1", UiLanguage::English},
        {"0", "0", bySystem},
        {"7", "x", bySystem},
        {nullptr, nullptr, bySystem},
    };
    for (const auto &[language, subLanguage, chosen] : rows) {
        SCOPED_TRACE(language ? language : "none");
        QSettings s("Halvorn", "NexLanguageSwitch");
        s.clear();
        if (language) {
            s.setValue("Language", QString::fromLatin1(language));
            s.setValue("SubLanguage", QString::fromLatin1(subLanguage));
        }
        s.sync();
        EXPECT_EQ(chooseUiLanguage(), chosen);
    }

    const auto about = [] {
        return QCoreApplication::translate("CAboutDlg", "About ORBA Terminal");
    };
    EXPECT_TRUE(installTranslations(UiLanguage::English));
    EXPECT_EQ(about(), "About ORBA Terminal");
    EXPECT_TRUE(installTranslations(UiLanguage::German));
    EXPECT_EQ(about(), "Info über ORBA Terminal");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
}

} // namespace
