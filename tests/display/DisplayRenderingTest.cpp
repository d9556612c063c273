#include "display/DisplayRendering.h"
#include "display/DisplayBuffer.h"

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

TEST(DisplayBuffer, lineBreaksAreCountedPerAppendAndSavedAsCrLf)
{
    CDisplayBuffer b;
    b.append("AB\r\nCD\rE\nF", 1);
    EXPECT_EQ(b.lineCount(), 4);
    EXPECT_EQ(b.text(), QByteArray("AB\nCD\nE\nF"));
    // A CR that ends one append and a LF that begins the next are two breaks.
    CDisplayBuffer c;
    c.append("X\r", 1);
    c.append("\nY", 1);
    EXPECT_EQ(c.lineCount(), 3);
    EXPECT_EQ(c.toCrLfText(), QByteArray("X\r\n\r\nY"));
    EXPECT_EQ(c.lineLength(0), 1);
    EXPECT_EQ(c.lineOfOffset(c.length()), 2);
    CDisplayBuffer d; // a break at the very start too
    d.append("\nA\r\n\n", 1);
    EXPECT_EQ(d.toCrLfText(), QByteArray("\r\nA\r\n\r\n"));
}

} // namespace
