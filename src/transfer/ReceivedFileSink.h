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
    // Starts an empty file, to replace one that exists once it is complete;
    // false when it cannot.
    virtual bool begin() = 0;
    virtual bool write(const std::uint8_t *data, std::size_t length) = 0;
    // Makes everything written reach the disk and the file take its name;
    // false when that failed.
    virtual bool end() = 0;
    // Ends what was begun without completing the file; an existing file of
    // that name stays as it was. Returns where the bytes written so far were
    // kept (empty when there were none or they could not be kept).
    virtual QString abandon() = 0;
    // Why the last call failed, in the user's words.
    virtual QString errorText() const = 0;
};
