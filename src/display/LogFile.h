#pragma once

#include <QString>

#include <cstdint>

// The log is written only to regular files: a FIFO, a device or a folder is
// refused with this value in place of an errno.
constexpr int kLogNotRegularFile = -1;

// Appends the bytes to the file in one open, append and close, creating it
// when missing, so that others may read, move or delete the log meanwhile.
// Never blocks on what the path names (a FIFO without a reader is refused at
// once). Returns 0 when every byte was written, otherwise the errno of the
// failure or kLogNotRegularFile; `written` receives the bytes that did get in.
// An empty path writes nothing and is no failure.
int AppendToLogFile(const QString &path, const void *data, std::uint32_t length,
                    std::uint32_t *written = nullptr);

// Appends the bytes to the open descriptor `fd` (standard output: a terminal,
// a pipe or a file), waiting while it takes no more; results as above.
int AppendToDescriptor(int fd, const void *data, std::uint32_t length,
                       std::uint32_t *written = nullptr);
