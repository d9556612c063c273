// The window and every dialog built in English and in German: a text that reads
// the same in both is reported, unless both languages share that word.
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

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
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

// All that `root` and the objects below it show in words, in creation order.
Texts collect(const QString &name, const QObject *root)
{
    Texts out;
    int n = 0;
    QList<const QObject *> objects{root};
    for (const QObject *o : root->findChildren<QObject *>())
        objects << o;
    for (const QObject *o : objects) {
        const QString where
            = name + u'/' + o->metaObject()->className() + u'#' + QString::number(n++) + u'.';
        const auto take = [&](const QString &what, const QString &text) {
            if (!text.isEmpty())
                out[where + what] = text;
        };
        const auto *w = qobject_cast<const QWidget *>(o);
        const auto *a = qobject_cast<const QAction *>(o);
        if (!w && !a)
            continue;
        for (const char *p : {"toolTip", "statusTip", "whatsThis", "title", "placeholderText"})
            take(p, o->property(p).toString());
        // An action's tool tip falls back to its text; only its own counts.
        if (a && a->toolTip() == QString(a->text()).remove(u'&'))
            out.erase(where + "toolTip");
        if (!qobject_cast<const QLineEdit *>(w)) // what an edit holds is the user's
            take("text", o->property("text").toString());
        if (a && a->menu())
            take("menuTitle", a->menu()->title());
        if (w && (w->isWindow() || qobject_cast<const QToolBar *>(w)))
            take("windowTitle", w->windowTitle());
        const auto takeEach = [&](const QString &what, int count, const auto &textAt) {
            for (int i = 0; i < count; ++i)
                take(what + QString::number(i), textAt(i));
        };
        if (const auto *c = qobject_cast<const QComboBox *>(w))
            takeEach("item", c->count(), [c](int i) { return c->itemText(i); });
        if (const auto *t = qobject_cast<const QTabWidget *>(w))
            takeEach("tab", t->count(), [t](int i) { return t->tabText(i); });
        if (const auto *v = qobject_cast<const QAbstractItemView *>(w); v && v->model())
            takeEach("column", v->model()->columnCount(),
                     [v](int i) { return v->model()->headerData(i, Qt::Horizontal).toString(); });
    }
    return out;
}

// Everything the program shows in words, built in the language installed now.
Texts programTexts(const QString &iniPath, const QString &folder)
{
    Texts all;
    const auto add = [&all](const QString &name, const QObject &root) {
        const Texts texts = collect(name, &root);
        all.insert(texts.begin(), texts.end());
    };
    CTestLinkPort link;
    CMainFrame frame(iniPath, std::make_unique<CTestPorts>(&link));
    CTrayIcon tray(&frame, false);
    add("window", frame);
    add("tray", tray);
    add("trayMenu", *tray.menu());
    TerminalSettings settings;
    add("hotkeys", CHotKeyDlg(iniPath, settings.receiveTexts, settings.display.autoReplyMask));
    CharMapTable table;
    add("mapping", CCharMapDlg(table, settings.display.charMappingOn, iniPath));
    add("port", CPortSettingsDlg(settings, iniPath));
    add("printerName", CPrinterFileNameDlg("A.TXT"));
    add("about", CAboutDlg());
    std::atomic<int> cancel{0};
    for (int socketType : {1, 2})
        add("wait" + QString::number(socketType), CConnectWaitDlg(&cancel, socketType));
    CGatewaySession &session = CGatewaySession::of(frame.terminal());
    add("gateway", CGatewayDlg(session, session.upload(), iniPath, folder, &frame));
    return all;
}

// Words German writes as English does; numbers, codes, captions, paths, group addresses.
bool sharedByBothLanguages(const QString &text)
{
    static const QRegularExpression shared(QStringLiteral(
        R"(^(&Start|S&top|Start|Stop|&Terminal|&\?|\+CRLF|Hex-Data|OK|XOn/XOff|KByte|Code|GA:?|)"
        R"(Format:?|USB|&?DTR|&?RTS|CTS|DSR|DCD|RI|Rx .*|Hardware \((RTS/CTS/DTR/DTS|RTS/CTS|DTR/DTS)\)|F\d+(:.*)?|)"
        R"([\d\s.,:/%+\-]*|[0-9A-F]{2}|COM\d+(,.*)?|/.*)$)"));
    return shared.match(text).hasMatch();
}

TEST(UntranslatedTexts, everyTextOfTheGermanProgramIsGerman)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    RecordingUiServices ui;
    const QString ini = dir.filePath("o.ini");
    const Texts english = programTexts(ini, dir.path());

    QTranslator program, qt;
    ASSERT_TRUE(program.load(":/i18n/orbaterminal_de.qm"));
    ASSERT_TRUE(qt.load(QLocale(QLocale::German), "qtbase", "_", "/usr/share/qt6/translations"));
    QCoreApplication::installTranslator(&program);
    QCoreApplication::installTranslator(&qt);
    const Texts german = programTexts(ini, dir.path()); // each translator uninstalls as it goes

    ASSERT_GT(english.size(), 300u) << "the walk found too little";
    QStringList untranslated;
    for (const auto &[where, text] : english) {
        const auto it = german.find(where);
        if (it == german.end() || (it->second == text && !sharedByBothLanguages(text)))
            untranslated << where + ": " + text;
    }
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join(u'\n').toStdString();
}

} // namespace
