#include "platform/AtomicFile.h"
#include "platform/ProfileCache.h"
#include "platform/ProfileFile.h"

#include "support/DiskFull.h"
#include "support/EventLoopWait.h"

#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Everything in the folder but the files named.
QStringList strayFiles(const QTemporaryDir &dir, const QStringList &expected)
{
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &e : expected)
        names.removeAll(e);
    return names;
}

TEST(AtomicFile, replacesTheFileKeepingItsModeAndFollowingLinks)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ORBATerminal.INI"));
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    ASSERT_TRUE(writeFileBytes(target, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("ORBATerminal.INI"), link));

    QString error;
    ASSERT_TRUE(AtomicFile::save(link, "new contents", &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(target), QByteArray("new contents"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Written piece by piece; dropped without commit the target stays.
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("abc") && file.write(QByteArray(100000, 'x')));
    }
    EXPECT_EQ(fileBytes(target), QByteArray("new contents"));
    EXPECT_EQ(strayFiles(dir, {QStringLiteral("ORBATerminal.INI"), QStringLiteral("link.ini")}),
              QStringList());
}

TEST(AtomicFile, failuresAreToldAndLeaveTheOldFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("doc.ter"));
    const QByteArray old(50000, 'o');
    ASSERT_TRUE(writeFileBytes(target, old));

    struct Row
    {
        QString path;
        QString reason;
    } rows[] = {
        {dir.filePath(QStringLiteral("missing/doc.ter")),
         QStringLiteral("The folder does not exist.")},
        {dir.path(), QStringLiteral("It is a folder.")},
    };
    for (const Row &row : rows) {
        QString error;
        EXPECT_FALSE(AtomicFile::save(row.path, "x", &error));
        EXPECT_EQ(error, row.reason);
    }

    // A full disk in the middle of the write: the file size limit stands in
    // for it (the write fails with EFBIG instead of ENOSPC).
    QString error;
    EXPECT_FALSE(withDiskFullAt(
        64 * 1024, [&] { return AtomicFile::save(target, QByteArray(100000, 'n'), &error); }));
    EXPECT_EQ(error, QStringLiteral("The disk is full."));
    EXPECT_EQ(fileBytes(target), old);
    EXPECT_EQ(strayFiles(dir, {QStringLiteral("doc.ter")}), QStringList());
}

// Makes a folder refuse new files, also for root (where the file system
// allows it); false when it cannot.
bool lockFolder(const QString &folder, bool locked)
{
    if (::geteuid() != 0)
        return ::chmod(QFile::encodeName(folder).constData(), locked ? 0555 : 0755) == 0;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = locked ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}

TEST(AtomicFile, aFolderThatRefusesNewFilesGetsTheFileWrittenInPlace)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString ini = folder + QStringLiteral("/ORBATerminal.INI");
    ASSERT_TRUE(writeFileBytes(ini, QByteArray(1000, 'o')));
    if (!lockFolder(folder, true))
        GTEST_SKIP() << "this file system cannot lock a folder";

    QString error;
    const bool shorter = AtomicFile::save(ini, "short", &error);
    const QByteArray afterShorter = fileBytes(ini);
    // Growing beyond what the disk allows: refused before any old byte changes.
    QString fullError;
    const bool grown = withDiskFullAt(
        64 * 1024, [&] { return AtomicFile::save(ini, QByteArray(100000, 'n'), &fullError); });
    AtomicFile plain(ini); // without the fallback the folder's refusal is told
    const bool plainOpened = plain.open();
    lockFolder(folder, false);

    EXPECT_TRUE(shorter) << error.toStdString();
    EXPECT_EQ(afterShorter, QByteArray("short"));
    EXPECT_FALSE(grown);
    EXPECT_EQ(fullError, QStringLiteral("The disk is full."));
    EXPECT_EQ(fileBytes(ini), QByteArray("short"));
    EXPECT_FALSE(plainOpened);
    EXPECT_EQ(plain.errorString(), QStringLiteral("Access was denied."));
}

// Run by the test below in a process of its own: saves two contents in turn
// until it is killed.
TEST(AtomicFile, savingLoopForKillTest)
{
    const QString ini = qEnvironmentVariable("ORBA_SAVING_LOOP_INI");
    if (ini.isEmpty())
        GTEST_SKIP() << "only run as the writer of killInTheMiddleLeavesAWholeFile";
    for (quint64 i = 0;; ++i) {
        const char fill = (i & 1) ? 'b' : 'a';
        profile::writeString(QStringLiteral("Big"), QStringLiteral("Value"),
                             QString(4 * 1024 * 1024, QLatin1Char(fill)), ini);
    }
}

TEST(AtomicFile, killInTheMiddleLeavesAWholeFile)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ORBATerminal.INI"));
    const QByteArray head = "; kept\n[Com]\nPort=3\n";
    ASSERT_TRUE(writeFileBytes(ini, head));
    const auto whole = [&](char fill) {
        return head + "[Big]\nValue=" + QByteArray(4 * 1024 * 1024, fill) + "\n";
    };

    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORBA_SAVING_LOOP_INI"), ini);
        writer.setProcessEnvironment(env);
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--gtest_filter=AtomicFile.savingLoopForKillTest")});
        ASSERT_TRUE(writer.waitForStarted());
        // Killed while a temporary file is being written, after a few saves.
        const bool midWrite = eventually(
            [&] {
                return QFileInfo(ini).size() > head.size()
                       && strayFiles(dir, {QStringLiteral("ORBATerminal.INI")}).size() == 1;
            },
            20000);
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished();
        EXPECT_TRUE(midWrite);
        const QByteArray after = fileBytes(ini);
        EXPECT_TRUE(after == whole('a') || after == whole('b'))
            << "round " << round << ": " << after.size() << " bytes";
        EXPECT_EQ(profile::getInt(QStringLiteral("Com"), QStringLiteral("Port"), 0, ini), 3);
    }
}

TEST(ProfileCache, readsTheFileAgainOnlyWhenItChanged)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ORBATerminal.INI"));
    const auto ageFile = [&](int hours) {
        // Hours old: no longer within the step of the file times.
        const time_t then = ::time(nullptr) - 3600 * hours;
        const struct timespec times[2] = {{then, 0}, {then, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(ini).constData(), times, 0), 0);
    };
    const QString section = QStringLiteral("HotKeys");
    const QString key = QStringLiteral("HotKeyText0");
    profile::ProfileCache cache;
    EXPECT_EQ(cache.snapshot(ini).getString(section, key, QStringLiteral("none"), -1),
              QStringLiteral("none"));

    ASSERT_TRUE(profile::writeString(section, key, QStringLiteral("AAA"), ini));
    ageFile(1);
    EXPECT_EQ(cache.snapshot(ini).getString(section, key, {}, -1), QStringLiteral("AAA"));
    const int reads = cache.reads();
    EXPECT_EQ(cache.snapshot(ini).getString(section, key, {}, -1), QStringLiteral("AAA"));
    EXPECT_EQ(cache.reads(), reads);

    // Edited in place to the same size and given an old time.
    ASSERT_TRUE(writeFileBytes(ini, "[HotKeys]\nHotKeyText0=BBB\n"));
    ageFile(2);
    EXPECT_EQ(cache.snapshot(ini).getString(section, key, {}, -1), QStringLiteral("BBB"));

    // Written just now: read at every use until its time is safely past.
    ASSERT_TRUE(profile::writeString(section, key, QStringLiteral("CCC"), ini));
    EXPECT_EQ(cache.snapshot(ini).getString(section, key, {}, -1), QStringLiteral("CCC"));
    ASSERT_TRUE(writeFileBytes(ini, "[HotKeys]\nHotKeyText0=DDD\n"));
    EXPECT_EQ(cache.snapshot(ini).getString(section, key, {}, -1), QStringLiteral("DDD"));
}

} // namespace
