// A received file on disk: it replaces a file of its name only once it is
// complete; a reception that ends early keeps the old file and puts its bytes
// beside it.
#include "transfer/DiskFileSink.h"

#include "support/DiskFull.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
    ASSERT_TRUE(writeFileBytes(target, "old contents"));

    CDiskFileSink sink(target);
    ASSERT_TRUE(sink.begin());
    ASSERT_TRUE(sink.write(bytesOf("new "), 4));
    ASSERT_TRUE(sink.write(bytesOf("bytes"), 5));
    EXPECT_EQ(fileBytes(target), "old contents");
    ASSERT_TRUE(sink.end());
    EXPECT_EQ(fileBytes(target), "new bytes");
    EXPECT_EQ(sink.abandon(), QString()) << "nothing left to abandon";
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("A.TXT")});

    // Cancelled before any byte: nothing is kept, nothing changes.
    CDiskFileSink empty(target);
    ASSERT_TRUE(empty.begin());
    EXPECT_EQ(empty.abandon(), QString());
    EXPECT_EQ(fileBytes(target), "new bytes");
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("A.TXT")});
}

TEST(DiskFileSink, aDiskThatFillsUpKeepsTheOldFileAndThePartialBytes)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("A.TXT"));
    ASSERT_TRUE(writeFileBytes(target, "old contents"));
    QByteArray data(300 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);

    CDiskFileSink sink(target);
    bool begun = false;
    const bool written = withDiskFullAt(64 * 1024, [&] {
        begun = sink.begin();
        return sink.write(bytesOf(data), std::size_t(data.size()));
    });
    ASSERT_TRUE(begun);
    EXPECT_FALSE(written);
    EXPECT_EQ(sink.errorText(), QStringLiteral("The disk is full."));
    EXPECT_EQ(sink.abandon(), target + QStringLiteral(".part"));
    EXPECT_EQ(fileBytes(target), "old contents");
    EXPECT_EQ(fileBytes(target + QStringLiteral(".part")), data.left(64 * 1024));
    EXPECT_EQ(filesIn(dir), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("A.TXT.part")}));
}

} // namespace
