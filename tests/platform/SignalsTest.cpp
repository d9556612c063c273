#include "platform/Signals.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A reader that goes away must not end the program: writes to its FIFO (or
// pipe, or socket) fail with EPIPE, reported like any other failure.
TEST(Signals, aWriteWhoseReaderLeftFailsInsteadOfEndingTheProgram)
{
    ignoreBrokenPipes();
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(::write(writer, "y", 1), 1);
    ::close(reader);
    EXPECT_EQ(::write(writer, "z", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    ::close(writer);
}

} // namespace
