#pragma once

#include <atomic>

// What the user sees while a network Open waits: a host name being resolved
// and a connect (short), or a server waiting for its peer (as long as it
// takes, until the user cancels). The window shows a box and holds its
// commands back; a run without a window goes without.
class CConnectionWait
{
public:
    virtual ~CConnectionWait() = default;
    // A lookup and connect begin and end.
    virtual void beginConnect() {}
    virtual void endConnect() {}
    // A server begins to wait for its peer (`socketType` 1 TCP, any other
    // UDP); setting `cancel` to 1 ends the wait.
    virtual void beginPeerWait(int socketType, std::atomic<int> *cancel)
    {
        static_cast<void>(socketType);
        static_cast<void>(cancel);
    }
    // The wait is over (peer, cancel or failure); called before any message
    // about it, so that a box it shows is usable.
    virtual void endPeerWait() {}
};
