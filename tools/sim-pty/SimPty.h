#pragma once

#include <string>

// Makes SIGINT and SIGTERM ask the simulator to end (see stopRequested) and
// lets writes to a vanished peer fail instead of ending the program.
void catchStopSignals();
bool stopRequested();

// The far end of a pseudo-terminal that a simulator serves: the terminal opens
// `path` as its serial device, the simulator reads and writes `master`. The
// simulator holds the slave open too, so the master never sees a hang-up while
// the terminal has the device closed, and sets it raw, so nothing is
// translated before the terminal sets its own line settings.
struct SimPty
{
    int master = -1;
    int slave = -1;
    std::string path;
    std::string link; // a symbolic link to path, if one was asked for

    SimPty() = default;
    SimPty(const SimPty &) = delete;
    SimPty &operator=(const SimPty &) = delete;
    // Closes both ends and removes the link.
    ~SimPty();

    // Opens a new pair (the master nonblocking when asked) and, with `linkPath`
    // given, makes it a symbolic link to the slave's path. False with errno
    // set, and what it says in `failed` ("pseudo-terminal", the link's path).
    bool open(bool nonblocking, const std::string &linkPath, std::string &failed);
};
