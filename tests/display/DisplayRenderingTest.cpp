#include "display/DisplayRendering.h"
#include "display/DisplayBuffer.h"

#include <gtest/gtest.h>

namespace {

QByteArray convert(const QByteArray &bytes, bool mapping = false,
                   const CharMapTable &table = CharMapTable())
{
    return convertBytesForDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                  bytes.size(), mapping, table);
}

TEST(DisplayRendering, textModeConvertsControlBytes)
{
    struct Row
    {
        QByteArray in;
        QByteArray out;
    } rows[] = {
        {QByteArray("AB\r\nCD"), QByteArray("AB\r\nCD")},
        {QByteArray("\x00\x02\x03", 3), QByteArray(".\n")},
        {QByteArray("A\rB"), QByteArray("A\nB")},
        {QByteArray("A\r"), QByteArray("A\n")},
        {QByteArray("\r\r\n"), QByteArray("\n\r\n")},
        {QByteArray("\x02\x02"), QByteArray()},
        {QByteArray("\xC4\xFF\x7F"), QByteArray("\xC4\xFF\x7F")},
    };
    for (const Row &row : rows)
        EXPECT_EQ(convert(row.in), row.out) << row.in.toHex().constData();
}

TEST(DisplayRendering, mappingChangesZeroAndLoneCr)
{
    CharMapTable table;
    table.setText(0, "<NUL>");
    EXPECT_EQ(convert(QByteArray("a\x00"
                                 "b\x00",
                                 4),
                      true, table),
              QByteArray("a<NUL>b<NUL>"));
    EXPECT_EQ(convert(QByteArray("a\x00", 2), false, table), QByteArray("a."));
    EXPECT_EQ(convert("x\ry", true, table), QByteArray("x\ny")); // 10 and 13 unmapped
    table.setText(13, "<CR>");
    EXPECT_EQ(convert("x\ry", true, table), QByteArray("x\ry"));
    table.setText(13, "");
    table.setText(10, "<LF>");
    EXPECT_EQ(convert("x\r", true, table), QByteArray("x\r"));
}

TEST(DisplayRendering, timestampFormat)
{
    EXPECT_EQ(formatTimestamp({2026, 12, 5, 10, 22, 24, 31}),
              QByteArray("\n05.12.2026 10:22:24.031 - "));
    EXPECT_EQ(formatTimestamp({2026, 12, 5, 10, 22, 24, 31}).size(), 27);
}

TEST(DisplayRendering, hexLinesFollowTheColumnCounter)
{
    QByteArray data(20, '\0');
    for (int i = 0; i < 20; ++i)
        data[i] = static_cast<char>(i + 0xF0 - 16);
    int column = 0;
    const QByteArray text
        = renderHex(reinterpret_cast<const std::uint8_t *>(data.constData()), 20, column, 16);
    EXPECT_EQ(text, QByteArray("\r\nE0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF "
                               "\r\nF0 F1 F2 F3 "));
    EXPECT_EQ(column, 4);
    // The next block continues the line.
    const std::uint8_t one = 0x0A;
    EXPECT_EQ(renderHex(&one, 1, column, 16), QByteArray("0A "));
    // Bytes per line below 1 behave as 1 instead of dividing by zero.
    int c2 = 0;
    const std::uint8_t two[] = {1, 2};
    EXPECT_EQ(renderHex(two, 2, c2, 0), QByteArray("\r\n01 \r\n02 "));
    EXPECT_EQ(renderHex(two, 2, c2, -5), QByteArray("\r\n01 \r\n02 "));
}

TEST(DisplayBuffer, lineBreaksAreCountedPerAppend)
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
}

TEST(DisplayBuffer, colourRunsFollowAppends)
{
    CDisplayBuffer b;
    b.append("AAA", 1);
    b.append("BB", 2);
    b.append("C", 2);
    b.append("", 3);
    b.append("D", 1);
    ASSERT_EQ(b.colorRuns().size(), 3u);
    EXPECT_EQ(b.colorRuns()[1].start, 3);
    EXPECT_EQ(b.colorRuns()[2].start, 6);
    EXPECT_EQ(b.colorRuns()[b.runAt(4)].color, 2u);
    EXPECT_EQ(b.colorRuns()[b.runAt(6)].color, 1u);
    EXPECT_EQ(b.longestLine(), 7);
    b.clear();
    EXPECT_EQ(b.length(), 0);
    EXPECT_EQ(b.lineCount(), 1);
    EXPECT_TRUE(b.colorRuns().empty());
}

} // namespace
