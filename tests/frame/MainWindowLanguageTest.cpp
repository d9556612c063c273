#include "app/TrayIcon.h"
#include "dialogs/AboutDlg.h"
#include "frame/CommandIds.h"
#include "frame/MainFrame.h"
#include "input/HotKeyBar.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTranslator>

#include <map>

#include <gtest/gtest.h>

namespace {

struct Texts
{
    std::map<int, QString> text, statusTip, toolTip;
    QStringList menus;
    QString title, ready, hotKeyTip, tray, about;
};

// Everything the window shows in words, by command id where there is one.
Texts windowTexts(const QString &iniPath)
{
    CTestLinkPort link;
    CMainFrame frame(iniPath, std::make_unique<CTestPorts>(&link));
    Texts t;
    for (QAction *a : frame.findChildren<QAction *>()) {
        const int id = a->data().toInt();
        const bool hotKey = id >= CommandId::HotKeyF1 && id < CommandId::HotKeyF1 + 12;
        if (id == 0 || id == CommandId::SendCrLf || hotKey)
            continue;
        t.text[id] = a->text();
        t.statusTip[id] = a->statusTip();
        t.toolTip[id] = a->toolTip();
    }
    for (QAction *m : frame.menuBar()->actions())
        t.menus << m->text();
    t.title = frame.windowTitle();
    t.ready = frame.findChild<QLabel *>(QStringLiteral("paneMessage"))->text();
    t.hotKeyTip = frame.hotKeyBar()->button(0)->toolTip();
    CTrayIcon tray(&frame, false);
    t.tray
        = tray.action(CTrayIcon::kShowId)->text() + u'|' + tray.action(CTrayIcon::kCloseId)->text();
    CAboutDlg about;
    t.about = about.windowTitle() + u'|'
              + about.findChild<QLabel *>(QStringLiteral("versionLabel"))->text();
    return t;
}

TEST(MainWindowLanguageTest, germanIsShownForEveryMenuItemPromptAndTip)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    RecordingUiServices ui;
    const QString ini = dir.filePath(QStringLiteral("o.ini"));
    const Texts english = windowTexts(ini);

    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/i18n/orbaterminal_de.qm")));
    QCoreApplication::installTranslator(&german);
    const Texts deutsch = windowTexts(ini);
    QCoreApplication::removeTranslator(&german);

    using namespace CommandId;
    const std::map<int, QString> expected{
        {FileNew, QStringLiteral("I&nitialisieren")},
        {FileOpen, QStringLiteral("Ö&ffnen...")},
        {FileSave, QStringLiteral("S&peichern")},
        {FileSaveAs, QStringLiteral("Speichern &unter...")},
        {LoadSettings, QStringLiteral("Einstellungen &laden...")},
        {SaveSettings, QStringLiteral("E&instellungen speichern...")},
        {FilePrint, QStringLiteral("&Drucken...")},
        {FilePrintPreview, QStringLiteral("Sei&tenansicht")},
        {FilePrintSetup, QStringLiteral("Drucker&einrichtung...")},
        {FileMru, QStringLiteral("Letzte Datei")},
        {AppExit, QStringLiteral("&Beenden")},
        {EditCopy, QStringLiteral("&Kopieren")},
        {ViewToolbar, QStringLiteral("&Symbolleiste")},
        {ViewStatusBar, QStringLiteral("S&tatusleiste")},
        {ViewHotKeyBar, QStringLiteral("&Schnelltastenleiste")},
        {TerminalStart, QStringLiteral("&Start")},
        {TerminalStop, QStringLiteral("S&top")},
        {SendFile, QStringLiteral("&Datei senden")},
        {SendFileToPrinter, QStringLiteral("Senden einer Datei an r+k-Drucker...")},
        {ReceivePrinterFile, QStringLiteral("r+k Drucker Datei empfangen...")},
        {CancelPrinterReception, QStringLiteral("Dateiempfang &abbrechen")},
        {CommandId::SendInputText, QStringLiteral("&Eingabefeld senden")},
        {PortSettings, QStringLiteral("&Schnittstelle / Allgemeine Einstellungen")},
        {LocalEcho, QStringLiteral("&Lokales Echo")},
        {AutoScroll, QStringLiteral("&Auto-Rollen")},
        {ClearInput, QStringLiteral("&Eingabemaske rücksetzen")},
        {HexMode, QStringLiteral("&Hexadezimal-Modus (Ein- und Ausgabe)")},
        {Timestamp, QStringLiteral("&Zeitstempel pro neue Zeile")},
        {CharacterMapping, QStringLiteral("S&onderzeichen Anzeige...")},
        {HotKeys, QStringLiteral("Sch&nelltasten...")},
        {MediaGateway, QStringLiteral("&Medientechnik-Gateway...")},
        {AppAbout, QStringLiteral("Inf&o über ORBA Terminal...")},
    };
    for (const auto &[id, text] : expected)
        EXPECT_EQ(deutsch.text.at(id), text) << id;
    EXPECT_EQ(deutsch.menus, (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Bearbeiten"),
                                          QStringLiteral("A&nsicht"), QStringLiteral("&Terminal"),
                                          QStringLiteral("&Einstellungen"), QStringLiteral("&?")}));
    EXPECT_EQ(deutsch.statusTip.at(TerminalStart), QStringLiteral("Startet den Terminalmodus"));
    EXPECT_EQ(deutsch.toolTip.at(ViewHotKeyBar),
              QStringLiteral("Schnelltastenleiste ein-/ausschalten"));

    // Whatever is left in English is a missing translation, apart from the
    // words both languages share.
    const QStringList shared{QStringLiteral("&Start"), QStringLiteral("S&top"),
                             QStringLiteral("Start"), QStringLiteral("Stop")};
    for (const auto &[id, text] : english.text) {
        if (!shared.contains(text)) {
            EXPECT_NE(deutsch.text.at(id), text) << id;
        }
        if (!english.statusTip.at(id).isEmpty()) {
            EXPECT_NE(deutsch.statusTip.at(id), english.statusTip.at(id)) << id;
        }
        if (!shared.contains(english.toolTip.at(id))) {
            EXPECT_NE(deutsch.toolTip.at(id), english.toolTip.at(id)) << id;
        }
    }
    EXPECT_EQ(deutsch.title, QStringLiteral("Unbenannt - ORBA Terminal"));
    EXPECT_EQ(deutsch.ready, QStringLiteral("Bereit"));
    EXPECT_EQ(deutsch.hotKeyTip, QStringLiteral("F1: \nSendet den Text der Schnelltaste F1"));
    EXPECT_EQ(deutsch.tray, QStringLiteral("ORBA Terminal anzeigen|ORBA Terminal beenden"));
    EXPECT_EQ(deutsch.about, QStringLiteral("Info über ORBA Terminal|ORBA Terminal Version 1.19"));
    EXPECT_EQ(english.about, QStringLiteral("About ORBA Terminal|ORBATerminal Version 1.19"));
}

} // namespace
