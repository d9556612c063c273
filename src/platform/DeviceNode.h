#pragma once

#include <QString>

// The device node behind a device link (a tty, a USB printer): whether it is
// there, and whether it still is the device a descriptor has open. An adapter
// that is unplugged takes its node with it; plugged in again it gets a new one.
namespace devicenode {

// The path names an existing node (a symbolic link is followed).
bool present(const QString &path);

// The path still names the device that `fd` has open: false when the node is
// gone or now stands for another device.
bool stillOpenAt(const QString &path, int fd);

} // namespace devicenode
