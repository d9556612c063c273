#pragma once

// Whether the link of a port carries data. A port that is not started is Idle;
// Start makes it Connected. A serial, USB or TCP client link that goes away
// becomes Lost and is brought back by the port itself: Reconnecting while it
// tries, Connected again when it stands. Waiting is the controller's: a
// server waits for its peer before the port starts.
enum class LinkState : int {
    Idle,
    Waiting,
    Connected,
    Lost,
    Reconnecting,
};

// What holds a running serial link's sending back: the handshake waits for
// the device to raise DSR or CTS. Receiving goes on meanwhile.
enum class HandshakeHold : int {
    None,
    Dsr,
    Cts,
};

// Why bytes handed to a port were not sent.
enum class UnsentReason : int {
    LinkDown,    // refused or dropped while the link was lost
    WriteFailed, // the link did not take them within the write time-out
    NotStarted,  // written to a port that is not running
};

// The modem lines of a running serial link. Not available while no serial
// link runs and on a device without modem lines (a pseudo-terminal); the
// lines then say nothing.
struct ModemLineState
{
    bool available = false;
    // Inputs, as the device drives them.
    bool cts = false;
    bool dsr = false;
    bool dcd = false;
    bool ri = false;
    // Outputs, as set.
    bool dtr = false;
    bool rts = false;

    bool operator==(const ModemLineState &) const = default;
};

// How a request to switch a modem line or to send a break went.
enum class LineRequest : int {
    Done,              // switched, or the break is sent
    Queued,            // the break goes out after what was sent before it (BreakDone tells)
    NotRunning,        // no serial link runs, or its device is gone
    DrivenByHandshake, // the chosen handshake moves this line itself
    NotSupported,      // the device has no such line, or cannot send a break
    Failed,            // the device refused (the debug output says why)
};
