#include "display/DisplaySearch.h"

#include <gtest/gtest.h>

namespace {

QByteArray latin1(const char *text)
{
    return QByteArray(text);
}

TEST(DisplaySearch, findsForwardAndBackwardWithWrapping)
{
    // 0         1         2         3
    // 0123456789012345678901234567890123
    const QByteArray text = latin1("temp 21.5\nTEMP 22.0\nhumidity\nTemp 23");
    struct Case
    {
        const char *pattern;
        bool caseSensitive;
        bool forward;
        qsizetype from;
        qsizetype start;
        bool wrapped;
    };
    const Case cases[] = {
        {"temp", false, true, 0, 0, false},
        {"temp", false, true, 1, 10, false}, // next after the current one
        {"temp", false, true, 31, 0, true},  // past the last: from the top
        {"temp", true, true, 1, 0, true},    // only the first has this case
        {"Temp", true, true, 0, 29, false},
        {"temp", false, false, 29, 10, false},  // previous
        {"temp", false, false, 0, 29, true},    // before the first: from the bottom
        {"22.0", false, false, 100, 15, false}, // a start beyond the end is the end
        {"23", false, true, 0, 34, false},      // a match that ends the text
        {"x", false, true, 0, -1, true},
        {"T", false, true, 1, 10, false}, // one character: either case
        {"t", false, false, 29, 26, false},
        {"T", true, false, 29, 10, false},
        {"T", true, true, 30, 10, true},
        {"", false, true, 0, -1, true},
        {"humidity\nT", false, true, 0, 20, false}, // a line break matches itself
        {"very long pattern longer than the text itself, no match", false, true, 0, -1, true},
    };
    for (const Case &c : cases) {
        CDisplaySearch search;
        search.setPattern(QString::fromLatin1(c.pattern), c.caseSensitive);
        const CDisplaySearch::Match m
            = c.forward ? search.next(text, c.from) : search.previous(text, c.from);
        EXPECT_EQ(m.start, c.start) << c.pattern << " from " << c.from;
        EXPECT_EQ(m.wrapped, c.wrapped) << c.pattern << " from " << c.from;
    }
}

TEST(DisplaySearch, lettersFoldAsTheDisplayShowsThem)
{
    // 0xC4 Ä, 0xE4 ä, 0x8A Š, 0x9A š, 0xDF ß (no upper case of its own).
    const QByteArray text("Gr\xC4T \x8A"
                          "ala stra\xDF"
                          "e");
    CDisplaySearch search;
    EXPECT_TRUE(search.setPattern(QStringLiteral("gr\u00E4t")));
    EXPECT_EQ(search.next(text, 0).start, 0);
    EXPECT_TRUE(search.setPattern(QStringLiteral("\u0161ALA")));
    EXPECT_EQ(search.next(text, 0).start, 5);
    EXPECT_TRUE(search.setPattern(QStringLiteral("STRA\u00DFE")));
    EXPECT_EQ(search.next(text, 0).start, 10);
    // Case-sensitive: only the exact letters.
    search.setPattern(QStringLiteral("gr\u00C4t"), true);
    EXPECT_FALSE(search.next(text, 0).found());
    search.setPattern(QStringLiteral("Gr\u00C4T"), true);
    EXPECT_EQ(search.next(text, 0).start, 0);
}

TEST(DisplaySearch, aCharacterTheDisplayCannotShowMatchesNothing)
{
    // A "?" stands in the text; a pattern with "✓", which has no byte of its
    // own, must not match it as the "?" the character would become.
    const QByteArray text("ok? \x80");
    CDisplaySearch search;
    EXPECT_FALSE(search.setPattern(QStringLiteral("ok\u2713")));
    EXPECT_FALSE(search.next(text, 0).found());
    EXPECT_TRUE(search.setPattern(QStringLiteral("\u20AC")));
    EXPECT_EQ(search.next(text, 0).start, 4);
}

TEST(DisplaySearch, rangesBoundWhereMatchesMayStart)
{
    const QByteArray text("abcabcabc");
    CDisplaySearch search;
    search.setPattern(QStringLiteral("cab"));
    const char *d = text.constData();
    EXPECT_EQ(search.findForward(d, text.size(), 0, 2), -1);
    EXPECT_EQ(search.findForward(d, text.size(), 0, 3), 2);
    EXPECT_EQ(search.findForward(d, text.size(), 3, 100), 5);
    EXPECT_EQ(search.findBackward(d, text.size(), 0, 5), 2);
    EXPECT_EQ(search.findBackward(d, text.size(), 0, 6), 5);
    EXPECT_EQ(search.findBackward(d, text.size(), 3, 5), -1);
    // Overlapping matches are each found.
    search.setPattern(QStringLiteral("aa"));
    const QByteArray as("aaaa");
    EXPECT_EQ(search.findForward(as.constData(), as.size(), 1, 4), 1);
    EXPECT_EQ(search.findBackward(as.constData(), as.size(), 0, 4), 2);
}

} // namespace
