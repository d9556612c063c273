#include "display/DisplaySearch.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplaySearch, findsForwardAndBackwardWithWrappingInTheDisplaysLetters)
{
    const QByteArray lines("temp 21.5\nTEMP 22.0\nhumidity\nTemp 23");
    // 0xC4 Ä, 0x8A Š, 0xDF ß (no upper case of its own), 0x80 €, 0xFF ÿ (the last byte).
    const QByteArray letters("Gr\xC4T \x8A"
                             "ala stra\xDF"
                             "e ok? \x80 \xFF");
    const struct
    {
        const QByteArray &text;
        QString pattern;
        bool caseSensitive, forward;
        qsizetype from, start;
        bool wrapped = false, shown = true;
    } cases[] = {
        {lines, "temp", false, true, 31, 0, true},  // past the last: from the top
        {lines, "temp", true, true, 1, 0, true},    // only the first has this case
        {lines, "temp", false, false, 0, 29, true}, // before the first: from the bottom
        {lines, "22.0", false, false, 100, 15},     // a start beyond the end is the end
        {lines, "23", false, true, 0, 34},          // a match that ends the text
        {lines, "T", false, true, 1, 10},           // one character: either case
        {lines, "T", true, false, 29, 10},
        {lines, "", false, true, 0, -1, true},
        {lines, "", false, false, 30, -1, true},
        {lines, "humidity\nT", false, true, 0, 20}, // a line break matches itself
        {lines, "a pattern longer than the text itself, no match at all", false, true, 0, -1, true},
        {letters, "gr\u00E4t", false, true, 0, 0},
        {letters, "\u0161ALA", false, true, 0, 5},
        {letters, "STRA\u00DFE", false, true, 0, 10},
        {letters, "gr\u00C4t", true, true, 0, -1, true},
        // "✓" has no byte of its own: it must not match the "?" it would become.
        {letters, "ok\u2713", false, true, 0, -1, true, false},
        {letters, "ok\u2713", false, false, 30, -1, true, false},
        {letters, "\u20AC", false, true, 0, 21},
        {letters, "\u0178", false, true, 0, 23}, // Ÿ finds ÿ
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern.toStdString() + " from " + std::to_string(c.from));
        CDisplaySearch search;
        EXPECT_EQ(search.setPattern(c.pattern, c.caseSensitive), c.shown);
        const CDisplaySearch::Match m
            = c.forward ? search.next(c.text, c.from) : search.previous(c.text, c.from);
        EXPECT_EQ((std::pair{m.start, m.wrapped}), (std::pair{c.start, c.wrapped}));
    }
}

TEST(DisplaySearch, rangesBoundWhereMatchesMayStart)
{
    const QByteArray text("abcabcabc");
    const char *d = text.constData();
    CDisplaySearch search;
    search.setPattern(QStringLiteral("cab"));
    EXPECT_EQ(search.findForward(d, text.size(), 0, 2), -1);
    EXPECT_EQ(search.findForward(d, text.size(), 0, 3), 2);
    EXPECT_EQ(search.findForward(d, text.size(), 3, 100), 5);
    EXPECT_EQ(search.findBackward(d, text.size(), 0, 5), 2);
    EXPECT_EQ(search.findBackward(d, text.size(), 0, 6), 5);
    EXPECT_EQ(search.findBackward(d, text.size(), 3, 5), -1);
    // Overlapping matches are each found.
    search.setPattern(QStringLiteral("aa"));
    EXPECT_EQ(search.findForward("aaaa", 4, 1, 4), 1);
    EXPECT_EQ(search.findBackward("aaaa", 4, 0, 4), 2);
}

} // namespace
