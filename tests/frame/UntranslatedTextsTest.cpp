// Every text the user can see in the German program is German: the window with
// its bars, menus, tips and prompts and every dialog are built in English and
// in German, and each text that reads the same in both is reported, unless both
// languages share that word.
#include "app/TrayIcon.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/CharMapDlg.h"
#include "dialogs/HotKeyDlg.h"
#include "dialogs/PortSettingsDlg.h"
#include "dialogs/PrinterFileNameDlg.h"
#include "display/CharacterMapping.h"
#include "frame/MainFrame.h"
#include "gateway/GatewayDlg.h"
#include "gateway/GatewaySession.h"
#include "ports/ConnectWaitDlg.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTranslator>

#include <gtest/gtest.h>

#include <map>

namespace {

// Texts, keyed by where they stand: "dialog/widget#n.property".
using Texts = std::map<QString, QString>;

void take(Texts &out, const QString &where, const QString &text)
{
    if (!text.isEmpty())
        out[where] = text;
}

void collectAction(Texts &out, const QString &where, const QAction *a)
{
    take(out, where + QStringLiteral(".text"), a->text());
    take(out, where + QStringLiteral(".statusTip"), a->statusTip());
    // An action's tool tip falls back to its text; only its own counts.
    if (a->toolTip() != QString(a->text()).remove(u'&'))
        take(out, where + QStringLiteral(".toolTip"), a->toolTip());
    if (a->menu())
        take(out, where + QStringLiteral(".menuTitle"), a->menu()->title());
}

// All that `root` and the objects below it show in words, in creation order.
Texts collect(const QString &name, const QObject *root)
{
    Texts out;
    QList<const QObject *> objects{root};
    for (const QObject *o : root->findChildren<QObject *>())
        objects << o;
    int n = 0;
    for (const QObject *o : objects) {
        const QString where = name + u'/' + QString::fromLatin1(o->metaObject()->className()) + u'#'
                              + QString::number(n++);
        if (const auto *a = qobject_cast<const QAction *>(o)) {
            collectAction(out, where, a);
            continue;
        }
        const auto *w = qobject_cast<const QWidget *>(o);
        if (!w)
            continue;
        take(out, where + QStringLiteral(".toolTip"), w->toolTip());
        take(out, where + QStringLiteral(".statusTip"), w->statusTip());
        take(out, where + QStringLiteral(".whatsThis"), w->whatsThis());
        if (w->isWindow() || qobject_cast<const QToolBar *>(w))
            take(out, where + QStringLiteral(".windowTitle"), w->windowTitle());
        if (const auto *b = qobject_cast<const QAbstractButton *>(w))
            take(out, where + QStringLiteral(".text"), b->text());
        if (const auto *l = qobject_cast<const QLabel *>(w))
            take(out, where + QStringLiteral(".text"), l->text());
        if (const auto *g = qobject_cast<const QGroupBox *>(w))
            take(out, where + QStringLiteral(".title"), g->title());
        if (const auto *e = qobject_cast<const QLineEdit *>(w))
            take(out, where + QStringLiteral(".placeholder"), e->placeholderText());
        if (const auto *m = qobject_cast<const QMenu *>(w))
            take(out, where + QStringLiteral(".title"), m->title());
        if (const auto *c = qobject_cast<const QComboBox *>(w)) {
            for (int i = 0; i < c->count(); ++i)
                take(out, where + QStringLiteral(".item") + QString::number(i), c->itemText(i));
        }
        if (const auto *t = qobject_cast<const QTabWidget *>(w)) {
            for (int i = 0; i < t->count(); ++i)
                take(out, where + QStringLiteral(".tab") + QString::number(i), t->tabText(i));
        }
        if (const auto *v = qobject_cast<const QAbstractItemView *>(w); v && v->model()) {
            for (int c = 0; c < v->model()->columnCount(); ++c)
                take(out, where + QStringLiteral(".column") + QString::number(c),
                     v->model()->headerData(c, Qt::Horizontal).toString());
        }
    }
    return out;
}

// Everything the program shows in words, built in the language installed now.
Texts programTexts(const QString &iniPath, const QString &folder)
{
    Texts all;
    const auto add = [&all](const Texts &texts) {
        all.insert(texts.begin(), texts.end());
    };
    CTestLinkPort link;
    CMainFrame frame(iniPath, std::make_unique<CTestPorts>(&link));
    CTrayIcon tray(&frame, false);
    add(collect(QStringLiteral("window"), &frame));
    add(collect(QStringLiteral("tray"), &tray));
    if (tray.menu())
        add(collect(QStringLiteral("trayMenu"), tray.menu()));

    std::array<QString, 12> receiveTexts;
    std::uint32_t mask = 0;
    add(collect(QStringLiteral("hotkeys"),
                std::make_unique<CHotKeyDlg>(iniPath, receiveTexts, mask).get()));
    CharMapTable table;
    bool mappingOn = false;
    add(collect(QStringLiteral("mapping"),
                std::make_unique<CCharMapDlg>(table, mappingOn, iniPath).get()));
    TerminalSettings settings;
    add(collect(QStringLiteral("port"),
                std::make_unique<CPortSettingsDlg>(settings, iniPath).get()));
    add(collect(QStringLiteral("printerName"),
                std::make_unique<CPrinterFileNameDlg>(QStringLiteral("A.TXT")).get()));
    add(collect(QStringLiteral("about"), std::make_unique<CAboutDlg>().get()));
    std::atomic<int> cancel{0};
    for (int socketType : {1, 2})
        add(collect(QStringLiteral("wait%1").arg(socketType),
                    std::make_unique<CConnectWaitDlg>(&cancel, socketType).get()));
    CGatewaySession &session = CGatewaySession::of(frame);
    add(collect(
        QStringLiteral("gateway"),
        std::make_unique<CGatewayDlg>(session, session.upload(), iniPath, folder, &frame).get()));
    return all;
}

// Words and names that German writes as English does.
bool sharedByBothLanguages(const QString &text)
{
    static const QStringList shared{
        "&Start",
        "S&top",
        "Start",
        "Stop",
        "&Terminal",
        "&?",
        "+CRLF",
        "Hex-Data",
        "OK",
        "XOn/XOff",
        "Hardware (RTS/CTS/DTR/DTS)",
        "Hardware (RTS/CTS)",
        "Hardware (DTR/DTS)",
        "KByte",
        "Code",
        "GA",
        "GA:",
        "Format",
        "Format:",
        "USB",
    };
    if (shared.contains(text))
        return true;
    // No word at all: numbers, hex codes, hotkey captions, paths, group addresses.
    static const QRegularExpression noWords(
        QStringLiteral("^(F\\d+(:.*)?|[\\d\\s.,:/%+\\-]*|[0-9A-F]{2}|COM\\d+(,.*)?|/.*)$"));
    return noWords.match(text).hasMatch();
}

TEST(UntranslatedTexts, everyTextOfTheGermanProgramIsGerman)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    RecordingUiServices ui;
    const QString ini = dir.filePath(QStringLiteral("o.ini"));
    const Texts english = programTexts(ini, dir.path());

    QTranslator program;
    QTranslator qt;
    ASSERT_TRUE(program.load(QStringLiteral(":/i18n/orbaterminal_de.qm")));
    ASSERT_TRUE(qt.load(QLocale(QLocale::German), "qtbase", "_", "/usr/share/qt6/translations"));
    QCoreApplication::installTranslator(&program);
    QCoreApplication::installTranslator(&qt);
    const Texts german = programTexts(ini, dir.path());
    QCoreApplication::removeTranslator(&qt);
    QCoreApplication::removeTranslator(&program);

    ASSERT_GT(english.size(), 300u) << "the walk found too little";
    QStringList untranslated;
    for (const auto &[where, text] : english) {
        const auto it = german.find(where);
        if (it == german.end()) {
            untranslated << where + QStringLiteral(": no German text for ") + text;
        } else if (it->second == text && !sharedByBothLanguages(text)) {
            untranslated << where + QStringLiteral(": ") + text;
        }
    }
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join(u'\n').toStdString();
}

} // namespace
