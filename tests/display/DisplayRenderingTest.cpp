#include "display/DisplayRendering.h"
#include "display/DisplayBuffer.h"

#include <QList>

#include <algorithm>

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
    CDisplayBuffer d; // saved with CR LF, a break at the very start too
    d.append("\nA\r\n\n", 1);
    EXPECT_EQ(d.toCrLfText(), QByteArray("\r\nA\r\n\r\n"));
    EXPECT_EQ(c.lineLength(0), 1);
    EXPECT_EQ(c.lineOfOffset(c.length()), 2);
}

// The line index, the colours and the longest line agree with the text
// itself, however the text was appended and however much was dropped.
void expectConsistent(const CDisplayBuffer &b, const char *what)
{
    const QList<QByteArray> lines = b.text().split('\n');
    ASSERT_EQ(b.lineCount(), lines.size()) << what;
    qsizetype start = 0;
    qsizetype longest = 0;
    for (int i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(b.lineStart(i), start) << what << " line " << i;
        ASSERT_EQ(b.lineLength(i), lines[i].size()) << what << " line " << i;
        ASSERT_EQ(b.lineOfOffset(start), i) << what << " line " << i;
        ASSERT_EQ(b.lineOfOffset(start + lines[i].size()), i) << what << " line " << i;
        longest = std::max(longest, lines[i].size());
        start += lines[i].size() + 1;
    }
    // Backwards too: a lookup does not depend on the one before.
    for (int i = lines.size() - 1; i >= 0; i -= 7)
        ASSERT_EQ(b.lineLength(i), lines[i].size()) << what << " line " << i;
    EXPECT_EQ(b.longestLine(), longest) << what;
    const auto &runs = b.colorRuns();
    ASSERT_FALSE(runs.empty()) << what;
    EXPECT_EQ(runs.front().start, 0) << what;
    for (std::size_t r = 1; r < runs.size(); ++r) {
        EXPECT_LT(runs[r - 1].start, runs[r].start) << what;
        EXPECT_NE(runs[r - 1].color, runs[r].color) << what;
    }
}

TEST(DisplayBuffer, dropOldestKeepsWholeLinesBehindAMarker)
{
    const struct
    {
        const char *what;
        QByteArray (*line)(int i);
        int lines;
        int blockLines; // lines per append, alternating two colours
        qsizetype drop;
    } rows[] = {
        {"short lines", [](int) { return QByteArray("ab\r\n"); }, 5000, 100, 3000},
        {"mixed lengths", [](int i) { return QByteArray(i % 97, 'x') + "\n"; }, 3000, 7, 40000},
        {"lone CRs", [](int i) { return QByteArray(i % 5, 'c') + "\r"; }, 1000, 64, 1},
        {"one long line", [](int) { return QByteArray(300, 'L'); }, 400, 10, 50000},
        {"drop all", [](int i) { return QByteArray::number(i) + "\n"; }, 200, 50, 1 << 20},
    };
    for (const auto &row : rows) {
        CDisplayBuffer b;
        QByteArray expectedTail;
        for (int i = 0; i < row.lines; i += row.blockLines) {
            QByteArray block;
            for (int k = i; k < std::min(row.lines, i + row.blockLines); ++k)
                block += row.line(k);
            b.append(block, (i / row.blockLines) % 2 ? 0xFF0000FFu : 0xFFFF0000u);
            expectedTail = block;
        }
        const QByteArray before = b.text();
        const int linesBefore = b.lineCount();
        const CDisplayBuffer::Dropped d = b.dropOldest(row.drop, "[dropped]", 0xFF808080u);
        expectConsistent(b, row.what);
        EXPECT_TRUE(b.text().startsWith("[dropped]\n")) << row.what;
        EXPECT_EQ(b.colorRuns().front().color, 0xFF808080u) << row.what;
        EXPECT_GE(d.chars, std::min(row.drop, before.size())) << row.what;
        if (d.chars < before.size()) {
            // Whole lines went; what stays is the old text from a line start on.
            EXPECT_EQ(before.at(d.chars - 1), '\n') << row.what;
            EXPECT_EQ(b.text().mid(10), before.mid(d.chars)) << row.what;
            EXPECT_EQ(b.lineCount(), linesBefore - d.lines) << row.what;
            EXPECT_EQ(d.shift, d.chars - 10) << row.what;
        } else {
            EXPECT_EQ(b.text(), QByteArray("[dropped]\n")) << row.what;
        }
        // Appending and dropping go on working on what is left.
        b.append(row.line(1) + row.line(2), 0xFF0000FFu);
        expectConsistent(b, row.what);
        b.dropOldest(b.length() / 2, "[again]", 0xFF808080u);
        expectConsistent(b, row.what);
        EXPECT_TRUE(b.text().startsWith("[again]\n")) << row.what;
    }
}

} // namespace
