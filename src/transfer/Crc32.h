#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 as the r+k printer checks its files (CRC-32/ISO-HDLC: reflected,
// polynomial 0x04C11DB7, register preset to all ones, result complemented).
// The CRC of no bytes is 0; "123456789" gives 0xCBF43926.
std::uint32_t ComputeCrc32(const void *data, std::size_t length);

// The same in pieces: start the register at kCrc32Preset, run every piece
// through UpdateCrc32 and complement the register at the end.
inline constexpr std::uint32_t kCrc32Preset = 0xFFFFFFFFu;
std::uint32_t UpdateCrc32(std::uint32_t crcRegister, const void *data, std::size_t length);
