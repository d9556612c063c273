#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The texts of the r+k printer file exchange. They travel framed like typed
// text (0x02 … 0x03); the file bytes themselves travel raw.
namespace PrinterProtocol {

// An answer header without its "*" longer than this ends a reception.
inline constexpr int kMaxHeaderText = 512;

// "#T=NAME,SIZE,CRC*": announces a file sent to the printer.
QString sendHeader(const QString &printerName, std::uint32_t size, std::uint32_t crc);
// "#G=NAME*": asks the printer for a file.
QString request(const QString &printerName);
// The local file name proposed for a printer name: what follows its last
// backslash ("DIR\A.TXT" gives "A.TXT").
QString proposedLocalName(const QString &printerName);

// The answer header: what stands before its first "," is not read; the number
// after it is the size, the number after the next "," the CRC-32, both
// decimal (reading stops at the first character that is no digit).
struct AnswerHeader
{
    enum class Status {
        Ok,
        NoSizeField, // no first ","
        BadSize,     // no digits, negative, or beyond 32 bits
        NoCrcField,  // no second ","
        BadCrc,      // negative or beyond 32 bits
    };
    Status status = Status::NoSizeField;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
};
AnswerHeader parseAnswerHeader(const QByteArray &text);

} // namespace PrinterProtocol
