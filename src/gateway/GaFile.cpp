#include "GaFile.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace gateway {

int FormatFromTypeCode(std::uint32_t code)
{
    switch (code) {
    case 0x30:
        return 10; // EIB time
    case 0x40:
        return 11; // EIB date
    case 0x5001:
    case 0x5002:
    case 0x5003:
    case 0x5004:
    case 0x5005:
    case 0x5006:
    case 0x5010:
    case 0x5011:
    case 0x5020:
    case 0x5021:
        return 9; // EIB float value
    case 0x6001:
    case 0x6002:
        return 3; // percent
    case 0x6003:
        return 4; // angle
    case 0x6100:
    case 0xF000:
    case 0xF001:
    case 0xF002:
        return 5; // 1 byte unsigned
    case 0x6101:
        return 6; // 1 byte signed
    case 0x10000:
        return 7; // 2 byte unsigned
    case 0x10001:
        return 8; // 2 byte signed
    case 0x11000:
        return 12; // 4 byte unsigned
    case 0x11001:
        return 13; // 4 byte signed
    case 0x12000:
        return 15; // entrance access
    case 0x13000:
        return 2; // 1 byte ASCII
    case 0x15000:
    case 0x15001:
        return 16; // text string
    default:
        break;
    }
    if (code >= 0x9000 && code <= 0x9079)
        return 14; // IEEE float
    return 1;      // 1 - 6 bit decimal
}

GaFileRead readGaFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        GaFileRead result;
        result.error = file.errorString();
        return result;
    }
    return readGa(file);
}

GaFileRead readGa(QIODevice &file)
{
    GaFileRead result;
    char header[kGaHeaderSize];
    const qint64 headerBytes = file.read(header, kGaHeaderSize);
    if (headerBytes < 0) {
        result.status = GaFileRead::ReadError;
        result.error = file.errorString();
        return result;
    }
    // The identification is compared as a NUL-terminated text.
    if (headerBytes < kGaHeaderSize || std::memcmp(header, "GRPADRLST", 10) != 0) {
        result.status = GaFileRead::NotGaFile;
        return result;
    }
    result.recordSize = qFromLittleEndian<quint32>(header + 20);
    if (result.recordSize != kGaRecordSize) {
        result.status = GaFileRead::WrongRecordSize;
        return result;
    }

    // Many records per read; a record may straddle two reads.
    constexpr qint64 kChunkRecords = 1024;
    QByteArray buffer;
    QByteArray chunk(kChunkRecords * kGaRecordSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) {
            result.status = GaFileRead::ReadError;
            result.error = file.errorString();
            return result;
        }
        if (got == 0)
            break;
        buffer.append(chunk.constData(), got);
        qsizetype at = 0;
        for (; buffer.size() - at >= qsizetype(kGaRecordSize); at += kGaRecordSize) {
            const char *record = buffer.constData() + at;
            const auto word = qFromLittleEndian<quint16>(record);
            if (word == 0 || word > 0x7FFF) {
                ++result.skippedRecords;
                continue;
            }
            const auto code = qFromLittleEndian<quint32>(record + 4);
            result.entries.push_back(GroupAddressEntry::make(
                word, 0, static_cast<std::uint8_t>(FormatFromTypeCode(code))));
        }
        buffer.remove(0, at);
    }
    result.trailingBytes = static_cast<int>(buffer.size());
    result.status = GaFileRead::Ok;
    return result;
}

} // namespace gateway
