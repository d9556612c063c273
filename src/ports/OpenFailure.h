#pragma once

#include <QString>

// Why the last Open of a link failed, as the ports report it.
struct OpenFailure
{
    enum class Link { None, Serial, Network, Usb };

    Link link = Link::None;
    // errno for serial and USB devices, the Winsock code for the network;
    // 0 when the port reported no reason.
    int error = 0;
    // The device path tried, or "address:port" for the network.
    QString target;
    // Open was refused because the port is running already.
    bool alreadyRunning = false;
};

// The reason shown under the open-failure message, in the user's language,
// with a hint what to do: the group a user needs for a device, the program
// (and process id) that holds a busy device, a device that is not plugged in.
// Empty when there is nothing to add. Looks into `procRoot` for busy devices.
QString openFailureReason(const OpenFailure &failure,
                          const QString &procRoot = QStringLiteral("/proc"));
