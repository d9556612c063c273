#pragma once

#include "gateway/GroupAddressEntry.h"

#include <QString>

class QIODevice;

#include <cstdint>
#include <vector>

// The binary .GA address files of BusScout and VisPlanner: a 32-byte header
// ("GRPADRLST" and a NUL, the record size at offset 20) and records of 160
// bytes, each with the group address word at offset 0 and a type code at
// offset 4 (little-endian).
namespace gateway {

inline constexpr int kGaHeaderSize = 32;
inline constexpr std::uint32_t kGaRecordSize = 160;

// The format number 1-21 of a .GA type code; 1 for codes it does not know.
int FormatFromTypeCode(std::uint32_t code);

struct GaFileRead
{
    enum Status {
        Ok,
        CannotOpen,      // `error` says why
        ReadError,       // `error` says why
        NotGaFile,       // shorter than the header, or no "GRPADRLST" identification
        WrongRecordSize, // `recordSize` holds the size the header names
    } status
        = CannotOpen;
    QString error;
    std::uint32_t recordSize = 0;
    std::vector<GroupAddressEntry> entries; // in file order, receive enabled
    int skippedRecords = 0;                 // address 0 or above 0x7FFF
    int trailingBytes = 0;                  // a short last record, ignored
};

GaFileRead readGaFile(const QString &path);
// The same from a device open for reading.
GaFileRead readGa(QIODevice &file);

} // namespace gateway
