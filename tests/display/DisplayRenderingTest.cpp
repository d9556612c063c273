#include "display/DisplayRendering.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

const auto *bytesOf(const QByteArray &b)
{
    return reinterpret_cast<const std::uint8_t *>(b.constData());
}

TEST(DisplayRendering, textModeConvertsControlBytesAndMappedCodes)
{
    const struct
    {
        QByteArray in;
        bool mapping;
        std::vector<std::pair<int, QByteArray>> texts;
        QByteArray out;
    } rows[] = {
        {QByteArray("\x00\x02\x03", 3), false, {}, ".\n"},
        {"\r\r\n", false, {}, "\n\r\n"},
        {"\xC4\xFF\x7F", false, {}, "\xC4\xFF\x7F"},
        {QByteArray("a\0", 2), false, {{0, "<NUL>"}}, "a."},
        {"x\ry", true, {{0, "<NUL>"}}, "x\ny"}, // 10 and 13 unmapped
        {"x\ry", true, {{13, "<CR>"}}, "x\ry"},
        {"x\r", true, {{10, "<LF>"}}, "x\r"},
    };
    for (const auto &row : rows) {
        CharMapTable table;
        for (const auto &[code, text] : row.texts)
            table.setText(code, text);
        EXPECT_EQ(convertBytesForDisplay(bytesOf(row.in), row.in.size(), row.mapping, table),
                  row.out)
            << row.in.toHex().constData();
    }
}

} // namespace
