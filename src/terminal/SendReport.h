#pragma once

#include "input/SendFraming.h"
#include "settings/TerminalSettings.h"

#include <QString>

// What the send settings mean for the bytes, and how the window tells them.
namespace sendreport {

// The framing options of the send settings.
SendFraming::Options framingOptions(const SendSettings &settings);

// What the port pane adds while framing is off, so that nobody wonders why a
// device ignores the texts; empty with framing on.
QString portPaneNote(const SendSettings &settings);
// The send settings in a few words for the port pane's tip; empty at the defaults.
QString summary(const SendSettings &settings);
// What typing AT with Enter and the hex input 01 03 00 00 00 01 send, in hex.
QString examples(const SendSettings &settings);

} // namespace sendreport
