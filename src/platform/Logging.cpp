#include "Logging.h"

Q_LOGGING_CATEGORY(lcSerial, "orbaterminal.serial")
Q_LOGGING_CATEGORY(lcNet, "orbaterminal.net")
Q_LOGGING_CATEGORY(lcUsb, "orbaterminal.usb")
Q_LOGGING_CATEGORY(lcPorts, "orbaterminal.ports")
