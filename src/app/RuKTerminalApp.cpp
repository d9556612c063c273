#include "RuKTerminalApp.h"

#include "frame/ConfigStore.h"
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
}

CRuKTerminalApp::~CRuKTerminalApp() = default;

bool CRuKTerminalApp::InitInstance()
{
    installTranslations(chooseUiLanguage());
    std::setlocale(LC_ALL, "");

    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Terminal for building-automation equipment"));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption iniOption(QStringLiteral("ini"), tr("Use FILE as the settings file."),
                                 QStringLiteral("FILE"));
    parser.addOption(iniOption);
    parser.process(arguments());

    const QString iniPath = ConfigStore::resolveIniPath(ConfigStore::programDirectory(),
                                                        parser.value(iniOption));
    m_mainFrame = std::make_unique<CMainFrame>(iniPath);
    m_mainFrame->show();
    return true;
}
