#include "display/DisplayRendering.h"
#include "display/DisplayBuffer.h"

#include <QList>

#include <algorithm>
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
        {"AB\r\nCD", false, {}, "AB\r\nCD"},
        {QByteArray("\x00\x02\x03", 3), false, {}, ".\n"},
        {"A\rB", false, {}, "A\nB"},
        {"A\r", false, {}, "A\n"},
        {"\r\r\n", false, {}, "\n\r\n"},
        {"\x02\x02", false, {}, ""},
        {"\xC4\xFF\x7F", false, {}, "\xC4\xFF\x7F"},
        {QByteArray("a\0b\0", 4), true, {{0, "<NUL>"}}, "a<NUL>b<NUL>"},
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

TEST(DisplayRendering, hexLinesFollowTheColumnCounter)
{
    QByteArray data;
    for (int i = 0; i < 20; ++i)
        data += static_cast<char>(0xE0 + i);
    int column = 0;
    EXPECT_EQ(renderHex(bytesOf(data), 20, column, 16),
              QByteArray("\r\nE0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF \r\nF0 F1 F2 F3 "));
    EXPECT_EQ(column, 4);
    EXPECT_EQ(renderHex(bytesOf("\x0A"), 1, column, 16), QByteArray("0A ")); // the line goes on
    // Bytes per line below 1 behave as 1 instead of dividing by zero.
    for (int perLine : {0, -5}) {
        column = 0;
        EXPECT_EQ(renderHex(bytesOf("\x01\x02"), 2, column, perLine), "\r\n01 \r\n02 ");
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

// The line index, the colour runs and the longest line agree with the text
// itself, however the text was appended and however much was dropped.
void expectConsistent(const CDisplayBuffer &b)
{
    const QList<QByteArray> lines = b.text().split('\n');
    ASSERT_EQ(b.lineCount(), lines.size());
    qsizetype start = 0, longest = 0;
    for (int i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(b.lineStart(i), start) << "line " << i;
        ASSERT_EQ(b.lineLength(i), lines[i].size()) << "line " << i;
        ASSERT_EQ(b.lineOfOffset(start), i) << "line " << i;
        ASSERT_EQ(b.lineOfOffset(start + lines[i].size()), i) << "line " << i;
        longest = std::max(longest, lines[i].size());
        start += lines[i].size() + 1;
    }
    // Backwards too: a lookup does not depend on the one before.
    for (int i = lines.size() - 1; i >= 0; i -= 7)
        ASSERT_EQ(b.lineLength(i), lines[i].size()) << "line " << i;
    EXPECT_EQ(b.longestLine(), longest);
    const auto &runs = b.colorRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().start, 0);
    for (std::size_t r = 1; r < runs.size(); ++r) {
        EXPECT_LT(runs[r - 1].start, runs[r].start);
        EXPECT_NE(runs[r - 1].color, runs[r].color);
        // A run's first character is its own, the one before it the run before.
        EXPECT_EQ(b.runAt(runs[r].start), r);
        EXPECT_EQ(b.runAt(runs[r].start - 1), r - 1);
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
        SCOPED_TRACE(row.what);
        CDisplayBuffer b;
        for (int i = 0; i < row.lines; i += row.blockLines) {
            QByteArray block;
            for (int k = i; k < std::min(row.lines, i + row.blockLines); ++k)
                block += row.line(k);
            b.append(block, (i / row.blockLines) % 2 ? 0xFF0000FFu : 0xFFFF0000u);
        }
        expectConsistent(b);
        const QByteArray before = b.text();
        const int linesBefore = b.lineCount();
        const CDisplayBuffer::Dropped d = b.dropOldest(row.drop, "[dropped]", 0xFF808080u);
        expectConsistent(b);
        EXPECT_TRUE(b.text().startsWith("[dropped]\n"));
        EXPECT_EQ(b.colorRuns().front().color, 0xFF808080u);
        EXPECT_GE(d.chars, std::min(row.drop, before.size()));
        if (d.chars < before.size()) {
            // Whole lines went; what stays is the old text from a line start on.
            EXPECT_EQ(before.at(d.chars - 1), '\n');
            EXPECT_EQ(b.text().mid(10), before.mid(d.chars));
            EXPECT_EQ(b.lineCount(), linesBefore - d.lines);
            EXPECT_EQ(d.shift, d.chars - 10);
        } else {
            EXPECT_EQ(b.text(), QByteArray("[dropped]\n"));
        }
        // Appending and dropping go on working on what is left.
        b.append(row.line(1) + row.line(2), 0xFF0000FFu);
        expectConsistent(b);
        b.dropOldest(b.length() / 2, "[again]", 0xFF808080u);
        expectConsistent(b);
        EXPECT_TRUE(b.text().startsWith("[again]\n"));
    }
}

} // namespace
