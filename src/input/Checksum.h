#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// The check values a send can carry at its end. Pure functions over bytes.
namespace checksum {

// The values of "Send"/"Checksum" in the INI file.
enum class Kind : int {
    None = 0,
    Crc16Modbus = 1,     // reflected 0x8005, start 0xFFFF; low byte first (Modbus RTU)
    Crc16CcittFalse = 2, // 0x1021, start 0xFFFF, not reflected; high byte first
    Xor = 3,             // XOR of the bytes, the block check character (BCC)
    Sum8 = 4,            // the bytes added, modulo 256
    Lrc = 5,             // the two's complement of that sum (Modbus ASCII)
};
inline constexpr int kKinds = 6;

std::uint16_t crc16Modbus(QByteArrayView bytes);
std::uint16_t crc16CcittFalse(QByteArrayView bytes);

// The bytes `kind` appends to `covered`, in the order they go on the wire;
// none for Kind::None.
QByteArray of(Kind kind, QByteArrayView covered);

// The name the settings show for `kind`.
QString name(Kind kind);

} // namespace checksum
