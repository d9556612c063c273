#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Where the bytes of a file received from the printer go. The reception
// itself only decides what to write; this seam does the writing, so that the
// reception can be driven without touching the disk.
class CReceivedFileSink
{
public:
    virtual ~CReceivedFileSink() = default;
    // Starts an empty file, replacing one that exists; false when it cannot.
    virtual bool begin() = 0;
    virtual bool write(const std::uint8_t *data, std::size_t length) = 0;
    // Makes everything written reach the file and closes it; false when that failed.
    virtual bool end() = 0;
    // Closes what was begun; the bytes written so far stay.
    virtual void abandon() = 0;
    // Why the last call failed, in the user's words.
    virtual QString errorText() const = 0;
};
