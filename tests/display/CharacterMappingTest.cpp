#include "display/CharacterMapping.h"
#include "display/DisplayRendering.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// One pass of the rule, the slow obvious way: `to` for every `from`, never looked at again.
QByteArray replaceAll(const QByteArray &s, const QByteArray &from, const QByteArray &to)
{
    QByteArray out;
    for (qsizetype i = 0; i < s.size();) {
        const bool match = QByteArrayView(s).sliced(i).startsWith(from);
        out += match ? to : QByteArray(1, s[i]);
        i += match ? from.size() : 1;
    }
    return out;
}

// The mapping as the rule reads, code after code over the whole text; false when it grows too big.
bool reference(QByteArray &s, bool &held, bool reverse, const QByteArray &timestamp,
               const CharMapTable &table, bool mappingOn)
{
    held = !reverse && !timestamp.isEmpty() && s.endsWith('\n');
    if (held)
        s.chop(1);
    for (int c = 1; c < 256; ++c) {
        const QByteArray one(1, static_cast<char>(c));
        const QByteArray &t = table.text(c);
        if (reverse && !t.isEmpty())
            s = replaceAll(s, t, one);
        else if (!reverse && c == 10 && !timestamp.isEmpty())
            s = replaceAll(s, one, (mappingOn ? t : QByteArray()) + timestamp);
        else if (!reverse && mappingOn && !t.isEmpty())
            s = replaceAll(s, one, t);
        if (s.size() > (1 << 20))
            return false;
    }
    if (held)
        s += (mappingOn ? table.text(10) : QByteArray()) + '\n';
    return true;
}

// What random tables and texts are made of: line breaks, the timestamp's characters, 8-bit codes.
const QByteArray kAlphabet = QByteArray("\n\r\x01\x02\x03\x09 .:-0125ABxy\xC4\xFF", 20);

QByteArray randomText(std::mt19937 &rng, int maxLength, bool withNul = false)
{
    QByteArray t;
    for (int n = static_cast<int>(rng() % (maxLength + 1)); n > 0; --n)
        t += (withNul && rng() % 31 == 0) ? '\0' : kAlphabet[rng() % kAlphabet.size()];
    return t;
}

TEST(CharacterMapping, matchesTheSequentialRuleOnRandomTablesAndTexts)
{
    const QByteArray timestamp = "\n05.12.2026 10:22:24.031 - ";
    std::mt19937 rng(20261205);
    int compared = 0, tried = 0;
    for (int round = 0; round < 3000; ++round) {
        CharMapTable table;
        for (char ch : kAlphabet)
            if (rng() % 5 < 2)
                table.setText(static_cast<unsigned char>(ch), randomText(rng, 4));
        table.setText(0, "zero"); // code 0 never takes part
        const QByteArray text = randomText(rng, 40, true);
        for (const int mode : {0, 1, 2, 3}) { // forward, reverse, timestamp with/without mapping
            const bool reverse = mode == 1, mappingOn = mode != 3;
            const QByteArray ts = mode >= 2 ? timestamp : QByteArray();
            QByteArray input = text;
            if (reverse) {
                // Typed text made of mapping texts and plain characters.
                input.clear();
                for (int k = 0; k < 6; ++k)
                    input += table.text(kAlphabet[rng() % kAlphabet.size()]) + randomText(rng, 2);
            }
            ++tried;
            QByteArray expected = input;
            bool held = false;
            if (!reference(expected, held, reverse, ts, table, mappingOn))
                continue;
            QByteArray actual = input;
            const bool pending = MapCharacters(actual, reverse, ts, table, mappingOn);
            ASSERT_EQ(actual, expected) << "round " << round << " mode " << mode << " input "
                                        << input.toHex(' ').constData();
            ASSERT_EQ(pending, held) << "round " << round;
            ++compared;
        }
    }
    EXPECT_GT(compared, tried * 9 / 10);
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
        const auto *in = reinterpret_cast<const std::uint8_t *>(row.in.constData());
        EXPECT_EQ(convertBytesForDisplay(in, row.in.size(), row.mapping, table), row.out)
            << row.in.toHex().constData();
    }
}

} // namespace
