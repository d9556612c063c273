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
    for (const QByteArray &b : blocks) {
        for (int i : triggers.feed(reinterpret_cast<const std::uint8_t *>(b.constData()),
                                   static_cast<int>(b.size()), mask))
            fired.push_back(i);
    }
    return fired;
}

TEST(ReceiveTriggers, matchingRules)
{
    const struct
    {
        const char *name;
        std::vector<std::pair<int, QString>> texts;
        std::uint32_t mask;
        std::vector<QByteArray> blocks;
        std::vector<int> fired;
    } cases[] = {
        {"fires on its text", {{0, "ab"}}, 1, {"xaby"}, {0}},
        {"nor across blocks", {{0, "ab"}}, 1, {"a", "a", "b"}, {}},
        {"nor inside a longer prefix", {{0, "aab"}}, 1, {"aaab"}, {}},
        {"empty receive text never fires", {{0, ""}}, 1, {QByteArray(300, 'a'), "\0"}, {}},
        {"bit off: no fire", {{0, "ab"}, {1, "ab"}}, 2, {"ab"}, {1}},
        {"several on one byte, ascending",
         {{5, "xb"}, {1, "b"}, {3, "ab"}},
         0xFFF,
         {"xab"},
         {1, 3}},
        {"byte order first, then hotkey order", {{4, "a"}, {2, "b"}}, 0xFFF, {"ab"}, {4, 2}},
        {"bits above F12 change nothing", {{11, "z"}}, 0xFFFFFFFFu, {"z"}, {11}},
        {"8-bit text", {{0, QStringLiteral("\u00C4\u00D6")}}, 1, {"\xC4\xD6"}, {0}},
        {"NUL bytes in the data", {{0, "a"}}, 1, {QByteArray("\0a\0", 3)}, {0}},
    };
    for (const auto &c : cases) {
        Texts texts;
        for (const auto &[i, t] : c.texts)
            texts[i] = t;
        CReceiveTriggers triggers;
        triggers.prepare(texts, false, CharMapTable());
        EXPECT_EQ(run(triggers, c.blocks, c.mask), c.fired) << c.name;
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
        reset ? triggers.resetMatches() : triggers.prepare(texts, false, table);
        EXPECT_EQ(run(triggers, {"R><CR>"}, 4), std::vector<int>{2});
    }
}

} // namespace
