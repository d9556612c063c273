#include "platform/WriteCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Where a cursor over blocks of 3, 0, 5 and 2 bytes stands after each step.
TEST(WriteCursor, followsBytesAcrossBlocksAndSkipsWhatIsGivenUp)
{
    const std::uint8_t bytes[10] = {};
    const std::vector<std::size_t> ends = {3, 3, 8, 10};
    CWriteCursor cursor(BlockRun{bytes, ends});
    const struct
    {
        const char *step;
        std::size_t bytes; // advanced by; 0: the block under way is given up
        std::size_t finished;
        std::size_t block;
        std::size_t left, leftInBlock;
    } rows[] = {
        {"part of the first", 2, 0, 0, 8, 1},
        {"across an empty block", 2, 2, 2, 6, 4},
        {"give up the rest of it", 0, 1, 3, 2, 2},
        {"to the end", 2, 1, 4, 0, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.step);
        const std::size_t finished = row.bytes > 0 ? cursor.advance(row.bytes) : cursor.skipBlock();
        EXPECT_EQ(finished, row.finished);
        EXPECT_EQ(cursor.block(), row.block);
        EXPECT_EQ(cursor.left(), row.left);
        EXPECT_EQ(cursor.leftInBlock(), row.leftInBlock);
        EXPECT_EQ(cursor.data(), bytes + 10 - row.left);
    }
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ(cursor.skipBlock(), 0u);
}

} // namespace
