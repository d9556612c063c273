#include "Checksum.h"

#include <QCoreApplication>

namespace checksum {

std::uint16_t crc16Modbus(QByteArrayView bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u)
                             : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::uint16_t crc16CcittFalse(QByteArrayView bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<std::uint16_t>(static_cast<std::uint8_t>(c) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000u) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021u)
                                  : static_cast<std::uint16_t>(crc << 1);
    }
    return crc;
}

QByteArray of(Kind kind, QByteArrayView covered)
{
    std::uint8_t sum = 0;
    std::uint8_t x = 0;
    for (const char c : covered) {
        sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
        x ^= static_cast<std::uint8_t>(c);
    }
    const auto byte = [](unsigned value) {
        return QByteArray(1, static_cast<char>(value & 0xFF));
    };
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Crc16Modbus: {
        const std::uint16_t crc = crc16Modbus(covered);
        return byte(crc) + byte(crc >> 8u);
    }
    case Kind::Crc16CcittFalse: {
        const std::uint16_t crc = crc16CcittFalse(covered);
        return byte(crc >> 8u) + byte(crc);
    }
    case Kind::Xor:
        return byte(x);
    case Kind::Sum8:
        return byte(sum);
    case Kind::Lrc:
        return byte(0x100u - sum);
    }
    return {};
}

QString name(Kind kind)
{
    switch (kind) {
    case Kind::None:
        return QCoreApplication::translate("Checksum", "none");
    case Kind::Crc16Modbus:
        return QCoreApplication::translate("Checksum", "CRC-16/MODBUS (low byte first)");
    case Kind::Crc16CcittFalse:
        return QCoreApplication::translate("Checksum", "CRC-16/CCITT-FALSE (high byte first)");
    case Kind::Xor:
        return QCoreApplication::translate("Checksum", "XOR of the bytes (BCC)");
    case Kind::Sum8:
        return QCoreApplication::translate("Checksum", "8-bit sum");
    case Kind::Lrc:
        return QCoreApplication::translate("Checksum", "LRC (two's complement of the sum)");
    }
    return {};
}

} // namespace checksum
