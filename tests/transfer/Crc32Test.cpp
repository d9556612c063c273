// The CRC-32 that headers announce, against its check value and a bitwise
// reference, whole and in pieces.
#include "transfer/Crc32.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::uint32_t bitwiseCrc32(const std::vector<std::uint8_t> &data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST(Crc32, matchesTheCheckValueAndGivesZeroForNoBytes)
{
    EXPECT_EQ(ComputeCrc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(ComputeCrc32(nullptr, 0), 0u);
    EXPECT_EQ(ComputeCrc32("hello", 5), 907060870u);
}

TEST(Crc32, anyLengthAndAnySplitGiveTheBitwiseResult)
{
    std::mt19937 random(7);
    for (std::size_t length : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 255u, 4096u, 100003u}) {
        std::vector<std::uint8_t> data(length);
        for (auto &b : data)
            b = static_cast<std::uint8_t>(random());
        const std::uint32_t expected = bitwiseCrc32(data);
        EXPECT_EQ(ComputeCrc32(data.data(), data.size()), expected) << length;
        // Pieces of odd sizes, as blocks arrive.
        std::uint32_t reg = kCrc32Preset;
        for (std::size_t at = 0, step = 1; at < length; at += step, step = step * 3 % 37 + 1)
            reg = UpdateCrc32(reg, data.data() + at, std::min(step, length - at));
        EXPECT_EQ(~reg, expected) << length;
    }
}

} // namespace
