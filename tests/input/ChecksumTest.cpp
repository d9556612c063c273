#include "input/Checksum.h"

#include <gtest/gtest.h>

namespace {

// The check values the CRC catalogue publishes for "123456789", the sums of
// the same digits, and a Modbus request whose CRC every Modbus tool shows.
TEST(Checksum, publishedCheckValuesAndAModbusRequest)
{
    using checksum::Kind;
    const QByteArray digits = "123456789";
    const QByteArray request = QByteArray::fromHex("010300000001");
    const std::tuple<Kind, QByteArray, QByteArray> rows[] = {
        {Kind::Crc16Modbus, digits, "\x37\x4B"},     // 0x4B37, low byte first
        {Kind::Crc16CcittFalse, digits, "\x29\xB1"}, // 0x29B1, high byte first
        {Kind::Xor, digits, "\x31"},
        {Kind::Sum8, digits, "\xDD"},
        {Kind::Lrc, digits, "\x23"},
        {Kind::None, digits, ""},
        {Kind::Crc16Modbus, request, "\x84\x0A"},
        {Kind::Lrc, request, "\xFB"},
        {Kind::Crc16Modbus, "", "\xFF\xFF"},
        {Kind::Lrc, "", QByteArray(1, '\0')},
    };
    for (const auto &[kind, bytes, appended] : rows)
        EXPECT_EQ(checksum::of(kind, bytes).toHex(' '), appended.toHex(' '))
            << static_cast<int>(kind) << " " << bytes.toHex().toStdString();
}

} // namespace
