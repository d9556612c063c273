#pragma once

#include "ports/LinkState.h"
#include "settings/TerminalSettings.h"

#include <QString>

#include <cstdint>

// What the window tells the user about the state of the link, apart from the
// widgets that show it.
namespace linkreport {

// The port in use as pane 104 shows it: "COM1,19200,N,8,1,H", "USB" or
// "IP:192.168.0.1, 9100". A serial device path given instead of a COM number
// shows its file name in place of "COM1"; a network server shows the peer's
// address.
QString portText(const TerminalSettings &settings);

// The state shown beside the port pane: the port's own state while the
// terminal runs, Waiting while a start waits for its connection, Idle (no
// text) while the terminal is stopped.
LinkState shownState(bool running, bool starting, LinkState portState);

// "connected", "waiting", "lost", "reconnecting"; empty for Idle.
QString stateText(LinkState state);
// The same, except that a connected link whose handshake holds sending back
// says what it waits for: "waiting for DSR", "waiting for CTS".
QString stateText(LinkState state, HandshakeHold hold);
// Why nothing goes out while the handshake holds it back, and what helps;
// empty when nothing holds it.
QString holdExplanation(HandshakeHold hold);

// Status-bar lines for a link that went away and for one that is back. The
// link is named by `device` (the port's own name for it) where that is given,
// otherwise as the port pane names it.
QString lostMessage(const TerminalSettings &settings, const QString &device = {});
QString backMessage(const TerminalSettings &settings, const QString &device = {});
// The TCP server's peer left; the terminal waits for the next one.
QString peerLeftMessage(const QString &peer);
QString peerConnectedMessage(const QString &peer);

// Bytes handed to the port that did not go out.
QString notSentMessage(std::uint64_t bytes, UnsentReason reason);

} // namespace linkreport
