#include "Signals.h"

#include <csignal>

void ignoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}
