#include "platform/ProfileFile.h"
#include "platform/AtomicFile.h"
#include "platform/ProfileCache.h"
#include "support/ChildProcess.h"
#include "support/DiskFull.h"
#include "support/EventLoopWait.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
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
    EXPECT_TRUE(fileBytes(target) == "new contents" && QFileInfo(link).isSymLink());
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

    // A folder as the target is refused at once, before any temporary file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    AtomicFile folder(dir.filePath("folder"));
    EXPECT_TRUE(!folder.open() && folder.errorString() == "It is a folder.");
    // A full disk in the middle of the write (the file size limit stands in).
    EXPECT_FALSE(withDiskFullAt(
        64 * 1024, [&] { return AtomicFile::save(target, QByteArray(100000, 'n'), &error); }));
    EXPECT_EQ((std::tuple{error, fileBytes(target), strays()}),
              (std::tuple{QString("The disk is full."), QByteArray("new contents"),
                          QStringList{"link.ini"}}));
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

// Rows name their key as "section/key".
std::pair<QString, QString> sectionAndKey(const char *where)
{
    const QString w = QString::fromUtf8(where);
    return {w.section(u'/', 0, 0), w.section(u'/', 1)};
}

TEST(ProfileFile, readsTolerateWhatHandsAndOtherProgramsLeave)
{
    // The file, "section/key", the text ("<def>" for none), the number (-999 for none).
    const std::tuple<QByteArray, const char *, QString, int> rows[] = {
        {"[Com]\nPort=3\n", "Other/Port", "<def>", -999},
        {"[S]\nK=  42abc\n", "S/K", "42abc", 42},
        {"[S]\nK=99999999999\n", "S/K", "99999999999", 2147483647},
        // Names compare without case; the first of duplicates wins.
        {"[hotkeys]\nHOTKEYTEXT0=first\nhotkeytext0=second\n", "HotKeys/HotKeyText0", "first", 0},
        // Line ends, comments and garbage; each line in its own encoding.
        {"garbage\r\n; c=1\r\n[Com]\r\n  Port = 4  \r\nnot a key\r\n[broken\r\n=nokey\r\n",
         "Com/Port", "4", 4},
        {"[H]\nT=Gr\xfc\xdf \x80\n", "H/T", "Gr\u00FC\u00DF \u20AC", 0},
        {"\xEF\xBB\xBF[A]\rcr=1\r[B]\nlf=\xc3\xa4\r\n", "A/cr", "1", 1},
        {"[A]\r\nk=1\r\n[C]\r\ncrlf=\xe4\r\r\n", "C/crlf", "\u00E4", 0},
    };
    QTemporaryDir dir;
    const QString ini = dir.filePath("test.ini");
    EXPECT_EQ(profile::getInt("Com", "Port", -999, ini), -999);
    for (const auto &[file, where, value, number] : rows) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(writeFileBytes(ini, file)); // read straight from the file every time
        const auto [section, key] = sectionAndKey(where);
        EXPECT_EQ(profile::getString(section, key, "<def>", 254, ini), value);
        EXPECT_EQ(profile::getInt(section, key, -999, ini), number);
    }
    // Cut to the limit.
    const auto ini30 = profile::Snapshot::fromBytes("[CharTexts]\n65=" + QByteArray(40, 'a'));
    EXPECT_EQ(ini30.getString("CharTexts", "65", {}, 30), QString(30, u'a'));
}

// Edits and another file are seen whatever times and sizes say; an unchanged file is not reread.
TEST(ProfileFile, theCacheReadsAFileAgainOnlyWhenItOrItsPathChanged)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.ini"), b = dir.filePath("b.ini");
    profile::ProfileCache cache;
    const auto value = [&](const QString &path) {
        return cache.snapshot(path).getString("HotKeys", "K", "none", -1);
    };
    const auto edit = [&](const QString &path, const char *text, int hoursAgo) {
        ASSERT_TRUE(writeFileBytes(path, QByteArray("[HotKeys]\nK=") + text));
        const time_t then = ::time(nullptr) - 3600 * hoursAgo;
        const struct timespec times[2] = {{then, 0}, {then, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    };
    EXPECT_EQ(value(a), "none");
    edit(a, "AAA", 1);
    edit(b, "BBB", 1);
    EXPECT_EQ(value(a), "AAA");
    const int reads = cache.reads(); // the list is read from left to right
    EXPECT_EQ(QStringList({value(a), QString::number(cache.reads() - reads), value(b), value(a)}),
              QStringList({"AAA", "0", "BBB", "AAA"}));
    edit(a, "CCC", 2); // same size, older
    EXPECT_EQ(value(a), "CCC");
    edit(a, "DDD", 0); // just now: read at every use until its time is safely past
    EXPECT_EQ(value(a), "DDD");
    ASSERT_TRUE(writeFileBytes(a, "[HotKeys]\nK=EEE"));
    EXPECT_EQ(value(a), "EEE");
}

// Writing a key leaves every other line byte for byte; the value reads back.
TEST(ProfileFile, writesChangeOnlyTheLinesOfTheirKeys)
{
    // The file before (empty: none), "section/key", the value, the file after.
    const std::tuple<QByteArray, const char *, QString, QByteArray> rows[] = {
        {"; notes\r\n[Com]\r\nPort=1\r\n\r\n[D]\r\nK=1", "Com/Baud", "300",
         "; notes\r\n[Com]\r\nPort=1\r\nBaud=300\r\n\r\n[D]\r\nK=1"},
        {"[D]\r\nK=1", "D/K", "0", "[D]\r\nK=0\r\n"},
        {"[A]\n  Key = old  \n", "a/KEY", "new", "[A]\n  Key = new\n"},
        // A written Windows-1252 line becomes UTF-8; a UTF-8 line keeps its name.
        {"[A]\nK\xe9y=\xfc\n", "A/K\u00e9y", "2", "[A]\nK\xc3\xa9y=2\n"},
        {"[A]\nK\xc3\xa9y=1\n", "A/K\u00e9y", "\u00FC", "[A]\nK\xc3\xa9y=\xc3\xbc\n"},
        // A new line ends like the one it follows, a new section like the last line.
        {"[A]\rk=1\n\n[B]\r", "A/n", "2", "[A]\rk=1\nn=2\n\n[B]\r"},
        {"[A]\rk=1\n", "S/n", "2", "[A]\rk=1\n[S]\nn=2\n"},
        {"", "K/K", "  \"a=b\" ; [x] ", "[K]\nK=\"  \"a=b\" ; [x] \"\n"},
    };
    QTemporaryDir dir;
    const QString ini = dir.filePath("test.ini");
    for (const auto &[before, where, value, after] : rows) {
        SCOPED_TRACE(before.toStdString());
        const auto [section, key] = sectionAndKey(where);
        QFile::remove(ini);
        ASSERT_TRUE(before.isEmpty() || writeFileBytes(ini, before));
        ASSERT_TRUE(profile::writeString(section, key, value, ini));
        EXPECT_EQ((std::pair{fileBytes(ini), profile::getString(section, key, {}, -1, ini)}),
                  (std::pair{after, value}));
    }
    // A file that cannot be read is not replaced by one with only the new key.
    const auto refusal = [](const QString &path) {
        QString error;
        EXPECT_FALSE(profile::writeString("A", "B", {}, path, &error));
        return error;
    };
    EXPECT_EQ(refusal(dir.filePath("missing/x.ini")), AtomicFile::describe(ENOENT));
    // This process's memory reads as an I/O error at address 0.
    EXPECT_EQ(refusal("/proc/self/mem"), AtomicFile::describe(EIO));
}

} // namespace
