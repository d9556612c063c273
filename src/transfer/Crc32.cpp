#include "Crc32.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kPolynomial = 0x04C11DB7u;

constexpr std::uint32_t reflect(std::uint32_t value, int bits)
{
    std::uint32_t out = 0;
    for (int i = 0; i < bits; ++i) {
        if (value & (1u << i))
            out |= 1u << (bits - 1 - i);
    }
    return out;
}

// Eight tables: the first is the classic byte table (the reflected byte run
// through eight shift/xor steps, reflected back); the others let the loop
// take eight bytes per step with the same result as eight single-byte steps.
struct Tables
{
    std::array<std::array<std::uint32_t, 256>, 8> t{};
};

Tables buildTables()
{
    Tables tables;
    auto &t0 = tables.t[0];
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = reflect(i, 8) << 24;
        for (int step = 0; step < 8; ++step)
            r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : r << 1;
        t0[i] = reflect(r, 32);
    }
    for (std::size_t k = 1; k < tables.t.size(); ++k) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t prev = tables.t[k - 1][i];
            tables.t[k][i] = (prev >> 8) ^ t0[prev & 0xFFu];
        }
    }
    return tables;
}

const Tables &tables()
{
    // Built once, on first use; thread-safe.
    static const Tables built = buildTables();
    return built;
}

} // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, const void *data, std::size_t length)
{
    const auto &t = tables().t;
    const auto *p = static_cast<const std::uint8_t *>(data);
    while (length >= 8) {
        std::uint32_t lo;
        std::uint32_t hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        if constexpr (std::endian::native == std::endian::big) {
            lo = __builtin_bswap32(lo);
            hi = __builtin_bswap32(hi);
        }
        lo ^= crc;
        crc = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^ t[4][lo >> 24]
              ^ t[3][hi & 0xFFu] ^ t[2][(hi >> 8) & 0xFFu] ^ t[1][(hi >> 16) & 0xFFu]
              ^ t[0][hi >> 24];
        p += 8;
        length -= 8;
    }
    while (length-- > 0)
        crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFFu];
    return crc;
}

std::uint32_t ComputeCrc32(const void *data, std::size_t length)
{
    return ~UpdateCrc32(kCrc32Preset, data, length);
}
