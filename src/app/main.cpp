#include "app/RuKTerminalApp.h"

int main(int argc, char *argv[])
{
    CRuKTerminalApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
