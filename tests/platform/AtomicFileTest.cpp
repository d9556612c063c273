#include "platform/AtomicFile.h"
#include "platform/ProfileFile.h"
#include "support/ChildProcess.h"
#include "support/DiskFull.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

// The writer of the test below: saves a 4 MB value over and over until it is killed.
TEST(AtomicFile, savingLoopForKillTest)
{
    const QString ini = qEnvironmentVariable("ORBA_SAVING_LOOP_INI");
    if (ini.isEmpty())
        GTEST_SKIP() << "only run as the writer of killInTheMiddleLeavesAWholeFile";
    for (quint64 i = 0;; ++i)
        profile::writeString("Big", "Value", QString(4 << 20, QLatin1Char((i & 1) ? 'b' : 'a')),
                             ini);
}

// A program killed while it saves leaves the old file or the new one, never a part.
TEST_F(AtomicFileTest, killInTheMiddleLeavesAWholeFile)
{
    const QByteArray head = "; kept\n[Com]\nPort=3\n";
    ASSERT_TRUE(writeFileBytes(target, head));
    for (int round = 0; round < 2; ++round) {
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORBA_SAVING_LOOP_INI", target);
        writer.setProcessEnvironment(env);
        endWithTest(writer);
        writer.start(QCoreApplication::applicationFilePath(),
                     {"--gtest_filter=AtomicFile.savingLoopForKillTest"});
        // Killed while a temporary file is being written, after a save or more.
        EXPECT_TRUE(eventually(
            [&] { return QFileInfo(target).size() > head.size() && strays().size() == 1; }, 20000));
        writer.kill();
        writer.waitForFinished();
        const QByteArray after = fileBytes(target);
        const auto whole = [&](char fill) {
            return head + "[Big]\nValue=" + QByteArray(4 << 20, fill) + "\n";
        };
        EXPECT_TRUE(after == whole('a') || after == whole('b')) << after.size() << " bytes";
    }
}

} // namespace
