#pragma once

#include <QLoggingCategory>

// One category per port kind; the port texts are written exactly as they are
// meant to appear (some end in a line feed, some do not).
Q_DECLARE_LOGGING_CATEGORY(lcSerial)
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcUsb)
Q_DECLARE_LOGGING_CATEGORY(lcPorts)
