#pragma once

#include "ports/OpenFailure.h"
#include "settings/TerminalSettings.h"

#include <functional>
#include <memory>

class CConnectionWait;
class CPortEngine;

// The port objects of the terminal, one per kind, and how each is opened
// from the settings. Tests put a port of their own in place.
class CTerminalPorts
{
public:
    virtual ~CTerminalPorts() = default;
    // The port object of `portKind` (1 serial, 2 USB, other network); null
    // when that kind has none.
    virtual CPortEngine *port(int portKind) = 0;
    // What the user sees while a network Open waits (not owned).
    virtual void setConnectionWait(CConnectionWait *) {}
    // Opens the port of the settings' kind. `peerAddress` receives the
    // network peer's address when a server gets its connection.
    virtual bool open(const TerminalSettings &settings,
                      const std::function<void(const QString &)> &peerAddress)
        = 0;
    // Closes the port of `portKind` for a start that follows at once: a TCP
    // server keeps listening, so a peer that queued meanwhile is served.
    virtual void closeKeepingListener(int portKind);
    // Why the last open() failed; nothing when the port kind tells no reason.
    virtual OpenFailure lastOpenFailure() const { return {}; }
};

std::unique_ptr<CTerminalPorts> createDefaultTerminalPorts();
