#include "ProgramIcons.h"

// The drawings live in the static library, whose resources are only linked in
// when something refers to them.
static void initIconResources()
{
    Q_INIT_RESOURCE(orbaterminal);
}

QIcon bundledIcon(const QString &fileName)
{
    static const bool registered = (initIconResources(), true);
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/icons/") + fileName);
}

QIcon programIcon()
{
    return bundledIcon(QStringLiteral("orbaterminal.svg"));
}
