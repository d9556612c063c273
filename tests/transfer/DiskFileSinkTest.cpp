// A received file on disk: it replaces a file of its name only once it is
// complete; a reception that ends early keeps the old file and puts its bytes
// beside it.
#include "transfer/DiskFileSink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList filesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

const auto *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const std::uint8_t *>(bytes.constData());
}

TEST(DiskFileSink, theOldFileStaysUntilTheNewOneIsComplete)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("A.TXT"));
    writeAll(target, "old contents");

    CDiskFileSink sink(target);
    ASSERT_TRUE(sink.begin());
    ASSERT_TRUE(sink.write(bytesOf("new "), 4));
    ASSERT_TRUE(sink.write(bytesOf("bytes"), 5));
    EXPECT_EQ(readAll(target), "old contents");
    ASSERT_TRUE(sink.end());
    EXPECT_EQ(readAll(target), "new bytes");
    EXPECT_EQ(sink.abandon(), QString()) << "nothing left to abandon";
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("A.TXT")});

    // Cancelled before any byte: nothing is kept, nothing changes.
    CDiskFileSink empty(target);
    ASSERT_TRUE(empty.begin());
    EXPECT_EQ(empty.abandon(), QString());
    EXPECT_EQ(readAll(target), "new bytes");
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("A.TXT")});
}

TEST(DiskFileSink, aDiskThatFillsUpKeepsTheOldFileAndThePartialBytes)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("A.TXT"));
    writeAll(target, "old contents");
    QByteArray data(300 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);

    // The file size limit stands in for a full disk.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    CDiskFileSink sink(target);
    const bool begun = sink.begin();
    const bool written = sink.write(bytesOf(data), std::size_t(data.size()));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    ASSERT_TRUE(begun);
    EXPECT_FALSE(written);
    EXPECT_EQ(sink.errorText(), QStringLiteral("The disk is full."));
    EXPECT_EQ(sink.abandon(), target + QStringLiteral(".part"));
    EXPECT_EQ(readAll(target), "old contents");
    EXPECT_EQ(readAll(target + QStringLiteral(".part")), data.left(64 * 1024));
    EXPECT_EQ(filesIn(dir), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("A.TXT.part")}));
}

} // namespace
