#include "app/RuKTerminalApp.h"
#include "platform/Signals.h"

#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    ignoreBrokenPipes();
    // The ports' diagnostics are for troubleshooting; QT_LOGGING_RULES turns
    // them on (e.g. "orbaterminal.serial.debug=true").
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("orbaterminal.*.debug=false"));
    CRuKTerminalApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
