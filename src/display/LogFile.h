#pragma once

#include <QString>

#include <cstdint>

// Appends the bytes to the file, creating it when missing; opened and closed
// for every call so that others may read, move or delete the log meanwhile.
// Failures (empty path, missing folder, no permission) are silent by design:
// the display goes on unaffected. Returns whether all bytes were written.
bool AppendToLogFile(const QString &path, const void *data, std::uint32_t length);
