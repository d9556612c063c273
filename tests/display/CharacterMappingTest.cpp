#include "display/CharacterMapping.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

constexpr qsizetype kReferenceLimit = 1 << 20;

// One pass of the rule, done the slow obvious way: scan left to right, put
// `to` in for every `from`, carry on after it without looking at it again.
std::optional<QByteArray> replaceAll(const QByteArray &s, const QByteArray &from,
                                     const QByteArray &to)
{
    QByteArray out;
    qsizetype i = 0;
    while (i < s.size()) {
        if (QByteArrayView(s).sliced(i).startsWith(from)) {
            out += to;
            i += from.size();
        } else {
            out += s[i];
            ++i;
        }
        if (out.size() > kReferenceLimit)
            return std::nullopt;
    }
    return out;
}

// The mapping exactly as the rule reads, code after code over the whole text.
// Empty when the text grows beyond what a test can sensibly compare.
std::optional<std::pair<QByteArray, bool>> reference(QByteArray s, bool reverse,
                                                     const QByteArray &timestamp,
                                                     const CharMapTable &table, bool mappingOn)
{
    if (reverse || timestamp.isEmpty()) {
        for (int c = 1; c < 256; ++c) {
            const QByteArray &t = table.text(c);
            if (t.isEmpty())
                continue;
            const QByteArray one(1, static_cast<char>(c));
            auto r = reverse ? replaceAll(s, t, one) : replaceAll(s, one, t);
            if (!r)
                return std::nullopt;
            s = *r;
        }
        return std::pair{s, false};
    }
    const bool held = s.endsWith('\n');
    if (held)
        s.chop(1);
    if (mappingOn) {
        const QByteArray lineFeed = table.text(10) + timestamp;
        for (int c = 1; c < 256; ++c) {
            const QByteArray one(1, static_cast<char>(c));
            std::optional<QByteArray> r;
            if (c == 10)
                r = replaceAll(s, one, lineFeed);
            else if (!table.text(c).isEmpty())
                r = replaceAll(s, one, table.text(c));
            else
                continue;
            if (!r)
                return std::nullopt;
            s = *r;
        }
    } else {
        auto r = replaceAll(s, "\n", timestamp);
        if (!r)
            return std::nullopt;
        s = *r;
    }
    if (!held)
        return std::pair{s, false};
    if (mappingOn)
        s += table.text(10);
    s += '\n';
    return std::pair{s, true};
}

const QByteArray kTimestamp = "\n05.12.2026 10:22:24.031 - ";

// Characters the random tables and texts are made of: the line breaks, the
// timestamp's own characters, a few letters and 8-bit codes.
const QByteArray kAlphabet = QByteArray("\n\r\x01\x02\x03\x09 .:-0125ABxy\xC4\xFF", 20);

QByteArray randomText(std::mt19937 &rng, int maxLength, bool withNul = false)
{
    std::uniform_int_distribution<int> len(0, maxLength);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(kAlphabet.size()) - 1);
    std::uniform_int_distribution<int> nul(0, 30);
    QByteArray t;
    for (int n = len(rng); n > 0; --n)
        t += (withNul && nul(rng) == 0) ? '\0' : kAlphabet[pick(rng)];
    return t;
}

CharMapTable randomTable(std::mt19937 &rng)
{
    CharMapTable table;
    std::bernoulli_distribution mapped(0.4);
    for (char ch : kAlphabet) {
        if (mapped(rng))
            table.setText(static_cast<unsigned char>(ch), randomText(rng, 4));
    }
    // Code 0 never takes part in MapCharacters; its text must not matter.
    table.setText(0, "zero");
    return table;
}

TEST(CharacterMapping, matchesTheSequentialRuleOnRandomTablesAndTexts)
{
    std::mt19937 rng(20261205);
    int compared = 0;
    int tried = 0;
    for (int round = 0; round < 3000; ++round) {
        const CharMapTable table = randomTable(rng);
        QByteArray text = randomText(rng, 40, true);
        for (const bool reverse : {false, true}) {
            for (const bool timestamp : {false, true}) {
                for (const bool mappingOn : {true, false}) {
                    if ((reverse || !timestamp) && !mappingOn)
                        continue; // such callers only map while mapping is on
                    QByteArray input = text;
                    if (reverse) {
                        // Typed text made of mapping texts and plain characters.
                        input.clear();
                        for (int k = 0; k < 6; ++k)
                            input += table.text(kAlphabet[rng() % kAlphabet.size()])
                                     + randomText(rng, 2);
                    }
                    const QByteArray ts = reverse || !timestamp ? QByteArray() : kTimestamp;
                    ++tried;
                    const auto expected = reference(input, reverse, ts, table, mappingOn);
                    if (!expected)
                        continue;
                    QByteArray actual = input;
                    const bool pending = MapCharacters(actual, reverse, ts, table, mappingOn);
                    ASSERT_EQ(actual, expected->first)
                        << "round " << round << " reverse " << reverse << " timestamp " << timestamp
                        << " input " << input.toHex(' ').constData();
                    ASSERT_EQ(pending, expected->second) << "round " << round;
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, tried * 9 / 10);
}

TEST(CharacterMapping, chainedTextsGrowToABoundNotWithoutEnd)
{
    // Every code's text is 30 copies of the next code: taken literally, one
    // byte would become 30^254 characters.
    CharMapTable table;
    for (int c = 1; c < 255; ++c)
        table.setText(c, QByteArray(30, static_cast<char>(c + 1)));
    QByteArray text("\x01\x01", 2);
    MapCharacters(text, false, {}, table, true);
    EXPECT_EQ(text.size(), 2 * CharMapTable::kMaxExpansion);
    EXPECT_EQ(text.count('\xFF'), text.size());
}

// The display end to end: the text of code 0 stands for a received 0x00 and
// is itself subject to the other codes; a lone CR stays a CR and so shows
// its own text.
TEST(CharacterMapping, displayShowsNamedControlBytes)
{
    DisplaySettings settings;
    settings.charMappingOn = true;
    CharMapTable table;
    table.setText(0, "<NUL>");
    table.setText('N', "n");
    table.setText(13, "<CR>");
    table.setText(10, "<LF>");
    CRuKTerminalView view(settings, table, nullptr);
    const QByteArray block("a\0b\rc\r\nd", 8);
    view.AppendToDisplay(reinterpret_cast<const std::uint8_t *>(block.constData()),
                         static_cast<int>(block.size()), true);
    EXPECT_EQ(view.widget()->plainText(), QStringLiteral("a<nUL>b<CR>c<CR><LF>d"));

    settings.timestampPerLine = true;
    settings.lineStartPending = false;
    setClockForTesting([] { return LocalTime{2026, 12, 5, 10, 22, 24, 31}; });
    view.ClearDisplay();
    const QByteArray withTime("x\ny", 3);
    view.AppendToDisplay(reinterpret_cast<const std::uint8_t *>(withTime.constData()),
                         static_cast<int>(withTime.size()), true);
    setClockForTesting({});
    EXPECT_EQ(view.widget()->plainText(), QStringLiteral("x<LF>\n05.12.2026 10:22:24.031 - y"));
}

} // namespace
