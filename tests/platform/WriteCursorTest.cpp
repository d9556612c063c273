#include "platform/WriteCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Where a cursor over blocks of 3, 0, 5 and 2 bytes stands after each step.
TEST(WriteCursor, followsBytesAcrossBlocksAndSkipsWhatIsGivenUp)
{
    char bytes[10] = {};
    const std::vector<iovec> blocks = {{bytes, 3}, {bytes + 3, 0}, {bytes + 3, 5}, {bytes + 8, 2}};
    CWriteCursor cursor(blocks);
    const struct
    {
        const char *step;
        std::size_t bytes; // advanced by; 0: the block under way is given up
        bool finishedABlock;
        std::size_t block;
        int iovecs;
        const char *next; // where the rest begins
    } rows[] = {
        {"part of the first", 2, false, 0, 4, bytes + 2},
        {"across an empty block", 2, true, 2, 2, bytes + 4},
        {"give up the rest of it", 0, true, 3, 1, bytes + 8},
        {"to the end", 2, true, 4, 0, nullptr},
    };
    EXPECT_EQ(cursor.iovCount(), 4);
    EXPECT_EQ(cursor.iovCount(2), 2);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.step);
        const std::size_t before = cursor.block();
        if (row.bytes > 0) {
            EXPECT_EQ(cursor.advance(row.bytes), row.finishedABlock);
        } else {
            cursor.skipBlock();
        }
        EXPECT_EQ(cursor.block() != before, row.finishedABlock);
        EXPECT_EQ(cursor.block(), row.block);
        EXPECT_EQ(cursor.iovCount(), row.iovecs);
        if (row.next) {
            EXPECT_EQ(cursor.iov()->iov_base, row.next);
        }
    }
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ(cursor.iovCount(2), 0);
}

} // namespace
