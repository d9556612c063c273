#include "platform/Signals.h"

#include <cerrno>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A reader that left (a log FIFO, a socket) fails the write, not the program.
TEST(Signals, aWriteWhoseReaderLeftFailsInsteadOfEndingTheProgram)
{
    ignoreBrokenPipes();
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    EXPECT_TRUE(::write(fds[1], "z", 1) == -1 && errno == EPIPE);
    ::close(fds[1]);
}

} // namespace
