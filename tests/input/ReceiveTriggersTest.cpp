#include "input/ReceiveTriggers.h"
#include "display/CharacterMapping.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Texts = std::array<QString, CReceiveTriggers::kCount>;

// The hotkeys fired by `blocks` received one after the other, in firing order.
std::vector<int> run(CReceiveTriggers &triggers, const std::vector<QByteArray> &blocks,
                     std::uint32_t mask)
{
    std::vector<int> fired;
    for (const QByteArray &b : blocks)
        for (int i : triggers.feed(reinterpret_cast<const std::uint8_t *>(b.constData()),
                                   static_cast<int>(b.size()), mask))
            fired.push_back(i);
    return fired;
}

TEST(ReceiveTriggers, matchingRules)
{
    // Receive texts by hotkey, trigger mask, blocks received, hotkeys fired.
    const std::tuple<std::vector<std::pair<int, QString>>, std::uint32_t, std::vector<QByteArray>,
                     std::vector<int>>
        cases[] = {
            {{{0, "ab"}}, 1, {"xaby"}, {0}},
            {{{0, "ab"}}, 1, {"a", "a", "b"}, {0}}, // a mismatch keeps what still matches,
            {{{0, "aab"}}, 1, {"aaab"}, {0}},       // across blocks too
            {{{0, "abab"}}, 1, {"ababab", "ab"}, {0, 0}},
            {{{0, "aa"}}, 1, {"aaa"}, {0}}, // a fired trigger starts afresh
            {{{0, ""}}, 1, {QByteArray(300, 'a'), "\0"}, {}},
            {{{5, "xb"}, {1, "b"}, {3, "ab"}}, 0xFFF, {"xab"}, {1, 3}}, // one byte: ascending
            {{{4, "a"}, {2, "b"}}, 0xFFF, {"ab"}, {4, 2}},
            {{{11, "z"}}, 0xFFFFFFFFu, {"z"}, {11}}, // bits above F12 change nothing
            {{{0, QStringLiteral("\u00C4\u00D6")}}, 1, {"\xC4\xD6"}, {0}},
        };
    for (const auto &[set, mask, blocks, fired] : cases) {
        Texts texts;
        for (const auto &[i, t] : set)
            texts[i] = t;
        CReceiveTriggers triggers;
        triggers.prepare(texts, false, CharMapTable());
        EXPECT_EQ(run(triggers, blocks, mask), fired) << blocks.front().toStdString();
    }
}

TEST(ReceiveTriggers, preparedTextsAreReverseMappedCutAndReset)
{
    CharMapTable table;
    table.setText(13, "<CR>");
    table.setText(10, "<LF>");
    const Texts texts{"OK<CR><LF>", QString(300, u'x'), "<CR>"};
    CReceiveTriggers triggers;
    triggers.prepare(texts, true, table);
    EXPECT_EQ(triggers.trigger(1), QByteArray(254, 'x'));
    EXPECT_EQ(run(triggers, {"OK\r", "\n"}, 1), std::vector<int>{0});
    // Mapping off: the text is matched as it stands.
    triggers.prepare(texts, false, table);
    EXPECT_EQ(run(triggers, {"OK\r\n", "OK<CR><LF>"}, 1), std::vector<int>{0});
    // Preparing again, or resetting, forgets a half-made match.
    for (const bool reset : {false, true}) {
        EXPECT_EQ(run(triggers, {"<C"}, 4), std::vector<int>{});
        reset ? triggers.resetMatches() : void(triggers.prepare(texts, false, table));
        EXPECT_EQ(run(triggers, {"R><CR>"}, 4), std::vector<int>{2});
    }
}

} // namespace
