#include "platform/AtomicFile.h"
#include "platform/ProfileCache.h"
#include "platform/ProfileFile.h"
#include "support/DiskFull.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file saved whole or not at all, and no temporary file left behind.
class AtomicFileTest : public ::testing::Test
{
protected:
    // The files in the folder besides the target.
    QStringList strays() const
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.removeAll(QFileInfo(target).fileName());
        return names;
    }

    QTemporaryDir dir;
    QString target = dir.filePath("ORBATerminal.INI");
};

TEST_F(AtomicFileTest, replacesTheFileKeepingItsModeAndLinksAndFailsSayingWhy)
{
    const QString link = dir.filePath("link.ini");
    ASSERT_TRUE(writeFileBytes(target, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link("ORBATerminal.INI", link));
    QString error;
    ASSERT_TRUE(AtomicFile::save(link, "new contents", &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(target), QByteArray("new contents"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat st = {};
    EXPECT_TRUE(::stat(QFile::encodeName(target).constData(), &st) == 0
                && (st.st_mode & 07777) == 0640);
    // Written piece by piece; dropped without commit the target stays.
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open() && file.write("abc") && file.write(QByteArray(100000, 'x')));
    }
    EXPECT_EQ(fileBytes(target), QByteArray("new contents"));
    EXPECT_EQ(strays(), QStringList{"link.ini"});

    EXPECT_FALSE(AtomicFile::save(dir.filePath("missing/doc.ter"), "x", &error));
    EXPECT_EQ(error, "The folder does not exist.");
    // A folder as the target is refused at once, before any temporary file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    AtomicFile folder(dir.filePath("folder"));
    EXPECT_FALSE(folder.open());
    EXPECT_EQ(folder.errorString(), "It is a folder.");
    // A full disk in the middle of the write (the file size limit stands in).
    EXPECT_FALSE(withDiskFullAt(
        64 * 1024, [&] { return AtomicFile::save(target, QByteArray(100000, 'n'), &error); }));
    EXPECT_EQ(error, "The disk is full.");
    EXPECT_EQ(fileBytes(target), QByteArray("new contents"));
    EXPECT_EQ(strays(), QStringList{"link.ini"});
}

// Makes a folder refuse new files, also for root; false when it cannot.
bool lockFolder(const QString &folder, bool locked)
{
    if (::geteuid() != 0)
        return ::chmod(QFile::encodeName(folder).constData(), locked ? 0555 : 0755) == 0;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = locked ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}

TEST_F(AtomicFileTest, aFolderThatRefusesNewFilesGetsTheFileWrittenInPlace)
{
    ASSERT_TRUE(writeFileBytes(target, QByteArray(1000, 'o')));
    if (!lockFolder(dir.path(), true))
        GTEST_SKIP() << "this file system cannot lock a folder";
    QString error, fullError;
    const bool shorter = AtomicFile::save(target, "short", &error);
    // Growing beyond what the disk allows: refused before any old byte changes.
    const bool grown = withDiskFullAt(
        64 * 1024, [&] { return AtomicFile::save(target, QByteArray(100000, 'n'), &fullError); });
    AtomicFile plain(target); // without the fallback the folder's refusal is told
    const bool plainOpened = plain.open();
    lockFolder(dir.path(), false);
    EXPECT_TRUE(shorter && !grown && !plainOpened) << error.toStdString();
    EXPECT_EQ(fullError, "The disk is full.");
    EXPECT_EQ(fileBytes(target), QByteArray("short"));
    EXPECT_EQ(plain.errorString(), "Access was denied.");
}

// Edits by hand are seen, however the file's time and size look.
TEST_F(AtomicFileTest, theProfileCacheReadsTheFileAgainWhenItChanged)
{
    const QString section = "HotKeys", key = "HotKeyText0";
    profile::ProfileCache cache;
    const auto value = [&] {
        return cache.snapshot(target).getString(section, key, "none", -1);
    };
    const auto age = [&](int hours) { // no longer within the step of the file times
        const struct timespec then[2]
            = {{::time(nullptr) - 3600 * hours, 0}, {::time(nullptr) - 3600 * hours, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), then, 0), 0);
    };
    EXPECT_EQ(value(), "none");
    ASSERT_TRUE(profile::writeString(section, key, "AAA", target));
    age(1);
    EXPECT_EQ(value(), "AAA");
    const int reads = cache.reads();
    EXPECT_EQ(value(), "AAA");
    EXPECT_EQ(cache.reads(), reads);
    // Edited in place to the same size and given an old time.
    ASSERT_TRUE(writeFileBytes(target, "[HotKeys]\nHotKeyText0=BBB\n"));
    age(2);
    EXPECT_EQ(value(), "BBB");
    // Written just now: read at every use until its time is safely past.
    ASSERT_TRUE(profile::writeString(section, key, "CCC", target));
    EXPECT_EQ(value(), "CCC");
    ASSERT_TRUE(writeFileBytes(target, "[HotKeys]\nHotKeyText0=DDD\n"));
    EXPECT_EQ(value(), "DDD");
}

} // namespace
