#include "app/CommandLine.h"
#include "app/Headless.h"
#include "app/RuKTerminalApp.h"
#include "app/Startup.h"
#include "platform/Language.h"
#include "platform/Signals.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

#include <clocale>

int main(int argc, char *argv[])
{
    ignoreBrokenPipes();
    // The ports' diagnostics are for troubleshooting; QT_LOGGING_RULES turns
    // them on (e.g. "orbaterminal.serial.debug=true").
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orbaterminal.*.debug=false"));

    // Read before any application object: only a window needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine commandLine = readCommandLine(arguments);
    if (commandLine.action == CommandLine::Action::Run && !commandLine.headless) {
        CRuKTerminalApp app(argc, argv);
        if (!app.InitInstance(commandLine))
            return 1;
        return app.exec();
    }

    QCoreApplication app(argc, argv);
    nameApplication();
    installTranslations(chooseUiLanguage());
    std::setlocale(LC_ALL, "");
    // Read again, for its messages in the user's language.
    commandLine = readCommandLine(arguments);
    return runWithoutWindow(commandLine, QFileInfo(arguments.value(0)).fileName());
}
