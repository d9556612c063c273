#pragma once

#include "platform/Clock.h"

#include <QString>

// What the window's indicators and status panes show, apart from the widgets
// that show it.
namespace indicators {

// Pane 102: "05.12.2026".
QString datePaneText(const LocalTime &time);
// Pane 103: "10:27".
QString timePaneText(const LocalTime &time);
// The percentage beside the send progress: "37%".
QString percentText(int blocksWritten, unsigned total);

// The send indicator's next position: dark without pending data, otherwise
// alternating between full (2) and half (1) at every refresh.
int nextSendLedPosition(bool pending, int current);

} // namespace indicators
