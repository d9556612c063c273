#include "RuKTerminalApp.h"

#include "app/Startup.h"
#include "app/TrayIcon.h"
#include "dialogs/ProgramIcons.h"
#include "dialogs/QtUiServices.h"
#include "display/RuKTerminalDoc.h"
#include "frame/MainFrame.h"
#include "platform/Language.h"
#include "settings/ConfigStore.h"

#include <clocale>

CRuKTerminalApp::CRuKTerminalApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    nameApplication();
    setDesktopFileName(QStringLiteral("orbaterminal"));
    setWindowIcon(programIcon());
    useQtUiServices();
}

CRuKTerminalApp::~CRuKTerminalApp() = default;

bool CRuKTerminalApp::InitInstance(const CommandLine &commandLine)
{
    installTranslations(chooseUiLanguage());
    std::setlocale(LC_ALL, "");
    // Window titles end with it, and boxes without a title of their own show it.
    setApplicationDisplayName(CRuKTerminalDoc::programTitle());

    const QString iniPath
        = ConfigStore::resolveIniPath(ConfigStore::programDirectory(), commandLine.iniPath);
    m_mainFrame = std::make_unique<CMainFrame>(iniPath);
    // A child of the window, which it follows to and from the notification area.
    new CTrayIcon(m_mainFrame.get(), QSystemTrayIcon::isSystemTrayAvailable());
    return startMainWindow(*m_mainFrame, commandLine);
}
