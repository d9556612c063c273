#include "RuKTerminalApp.h"

#include "app/Startup.h"
#include "app/TrayIcon.h"
#include "display/RuKTerminalDoc.h"
#include "dialogs/ProgramIcons.h"
#include "dialogs/QtUiServices.h"
#include "settings/ConfigStore.h"
#include "frame/MainFrame.h"
#include "platform/Language.h"

#include <QCommandLineParser>

#include <clocale>

CRuKTerminalApp::CRuKTerminalApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("ORBA"));
    setApplicationName(QStringLiteral("ORBATerminal"));
    setApplicationVersion(QStringLiteral(ORBA_VERSION));
    setDesktopFileName(QStringLiteral("orbaterminal"));
    setWindowIcon(programIcon());
    useQtUiServices();
}

CRuKTerminalApp::~CRuKTerminalApp() = default;

bool CRuKTerminalApp::InitInstance()
{
    installTranslations(chooseUiLanguage());
    std::setlocale(LC_ALL, "");
    // Window titles end with it, and boxes without a title of their own show it.
    setApplicationDisplayName(CRuKTerminalDoc::programTitle());

    QStringList args = arguments();
    StartupOptions options;
    options.automation = takeAutomationSwitch(args);

    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Terminal for building-automation equipment"));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption iniOption(QStringLiteral("ini"), tr("Use FILE as the settings file."),
                                 QStringLiteral("FILE"));
    parser.addOption(iniOption);
    QCommandLineOption startOption(QStringLiteral("start"),
                                   tr("Start the terminal at once (as Terminal > Start)."));
    parser.addOption(startOption);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 tr("A saved terminal display (.ter) to show."),
                                 QStringLiteral("[file]"));
    parser.process(args);
    options.iniPath = parser.value(iniOption);
    options.startTerminal = parser.isSet(startOption);
    if (!parser.positionalArguments().isEmpty())
        options.documentPath = parser.positionalArguments().constFirst();

    const QString iniPath
        = ConfigStore::resolveIniPath(ConfigStore::programDirectory(), options.iniPath);
    m_mainFrame = std::make_unique<CMainFrame>(iniPath);
    // A child of the window, which it follows to and from the notification area.
    new CTrayIcon(m_mainFrame.get(), QSystemTrayIcon::isSystemTrayAvailable());
    return startMainWindow(*m_mainFrame, options);
}
