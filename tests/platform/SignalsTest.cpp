#include "platform/Signals.h"

#include <cerrno>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A reader that goes away (of a log FIFO, a pipe, a socket) must not end the
// program: the write fails with EPIPE, reported like any other failure.
TEST(Signals, aWriteWhoseReaderLeftFailsInsteadOfEndingTheProgram)
{
    ignoreBrokenPipes();
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    EXPECT_EQ(::write(fds[1], "z", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    ::close(fds[1]);
}

} // namespace
