#include "platform/UiServices.h"
#include "platform/Language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The language switch chooses the texts; German comes whole, the program's texts and Qt's.
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
    EXPECT_TRUE(installTranslations(UiLanguage::English) && about() == "About ORBA Terminal");
    EXPECT_TRUE(installTranslations(UiLanguage::German) && about() == "Info über ORBA Terminal");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
}

// Unrecorded, messages and questions come in real message boxes; the button pressed answers.
TEST(QtUiServices, messagesAndQuestionsAreShownInMessageBoxes)
{
    QStringList shown;
    QMessageBox::StandardButton press = QMessageBox::Ok;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown
                << QStringLiteral("%1|%2|%3").arg(box->windowTitle(), box->text()).arg(box->icon());
            box->button(press)->click();
        }
    });
    user.start(5);
    QApplication::setApplicationDisplayName("ORBATerminal");
    uiServices().messageBox("Disk full", "Log", UiServices::Icon::Stop);
    uiServices().messageBox("Done", QString(), UiServices::Icon::Information);
    using Box = QMessageBox;
    for (const auto &[button, answer] : {std::pair{Box::Yes, UiServices::Answer::Yes},
                                         {Box::Cancel, UiServices::Answer::Cancel}}) {
        press = button;
        EXPECT_EQ(uiServices().question("Remove?", "Q", true), answer);
    }
    EXPECT_EQ(shown, QStringList(
                         {"Log|Disk full|3", "ORBATerminal|Done|1", "Q|Remove?|4", "Q|Remove?|4"}));
}

} // namespace
