#include "UiServices.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
UiServices *g_services = nullptr;
UiServices *g_default = nullptr;

QString oneLine(QString text)
{
    return text.replace(QLatin1String("\n\n"), QLatin1String(" ")).replace(u'\n', u' ');
}
} // namespace

UiServices &uiServices()
{
    static ConsoleUiServices console;
    if (g_services)
        return *g_services;
    return g_default ? *g_default : console;
}

void setUiServices(UiServices *services)
{
    g_services = services;
}

void setDefaultUiServices(UiServices *services)
{
    g_default = services;
}

void ConsoleUiServices::messageBox(const QString &text, const QString &title, Icon)
{
    const QString shown = title.isEmpty() ? QCoreApplication::applicationName() : title;
    std::fprintf(stderr, "%s: %s\n", qPrintable(shown), qPrintable(oneLine(text)));
    std::fflush(stderr);
}

UiServices::Answer ConsoleUiServices::question(const QString &text, const QString &title,
                                               bool withCancel)
{
    messageBox(text, title, Icon::Question);
    return withCancel ? Answer::Cancel : Answer::No;
}
