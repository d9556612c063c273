#pragma once

#include "settings/TerminalSettings.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// The send options dialog without its widgets: what its lists offer, in
// their order, and what OK makes of the chosen values.
class CSendOptionsForm
{
    Q_DECLARE_TR_FUNCTIONS(CSendOptionsForm)
public:
    // An entry of a list and the INI value it stands for.
    struct Choice
    {
        QString text;
        int value = 0;
    };

    static QList<Choice> framingChoices();
    static QList<Choice> lineEndChoices();
    static QList<Choice> checksumChoices();

    // OK: the values, brought into their ranges, into `settings` and the six
    // keys of the INI file's section "Send". False when the file could not
    // be written (the user was told; the values apply until the program ends).
    static bool apply(const SendSettings &values, SendSettings &settings, const QString &iniPath);
};
