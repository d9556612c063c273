#include "platform/ProfileFile.h"
#include "platform/AtomicFile.h"
#include "support/FileBytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The file at `path` with these bytes; none when they are empty.
void setFile(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    EXPECT_TRUE(bytes.isEmpty() || writeFileBytes(path, bytes));
}

QString text(const profile::Snapshot &ini, const char *section, const char *key, int max = 254)
{
    return ini.getString(QLatin1String(section), QLatin1String(key), "<def>", max);
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
        {"[Com]\nPort=3\n", "Com/Baud", "<def>", -999},
        {"[Com]\nPort=3\n", "Other/Port", "<def>", -999},
        {"[S]\nK=  42abc\n", "S/K", "42abc", 42},
        {"[S]\nK=abc\n", "S/K", "abc", 0},
        {"[S]\nK=99999999999\n", "S/K", "99999999999", 2147483647},
        {"[S]\nK=-99999999999\n", "S/K", "-99999999999", -2147483647 - 1},
        // Names compare without case; the first of duplicates wins.
        {"[hotkeys]\nHOTKEYTEXT0=first\nhotkeytext0=second\n", "HotKeys/HotKeyText0", "first", 0},
        {"[a]\nx=1\n[A]\ny=2\n", "A/Y", "2", 2},
        // Line ends, comments and garbage; each line in its own encoding.
        {"garbage\r\n; c=1\r\n[Com]\r\n  Port = 4  \r\nnot a key\r\n[broken\r\n=nokey\r\n",
         "Com/Port", "4", 4},
        {"[Net]\r\nIPAdr=10.0.0.1", "Net/IPAdr", "10.0.0.1", 10},
        {"[H]\nT=Gr\xfc\xdf \x80\n", "H/T", "Gr\u00FC\u00DF \u20AC", 0},
        {"\xEF\xBB\xBF[A]\rcr=1\r[B]\nlf=\xc3\xa4\r\n", "A/cr", "1", 1},
        {"\xEF\xBB\xBF[A]\rcr=1\r[B]\nlf=\xc3\xa4\r\n", "B/lf", "\u00E4", 0},
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
    // Cut to the limit, also in a huge file.
    QByteArray big = "[CharTexts]\n65=" + QByteArray(40, 'a') + "\n";
    while (big.size() < 10 * 1024 * 1024)
        big += "junk" + QByteArray(100, 'x') + "=" + QByteArray(100, 'y') + "\n";
    const auto huge = profile::Snapshot::fromBytes(big + "[Com]\nPort=" + QByteArray(5000, '9'));
    EXPECT_EQ(text(huge, "CharTexts", "65", 30), QString(30, u'a'));
    EXPECT_EQ(huge.getInt("Com", "Port", 0), 2147483647);
}

// Writing a key leaves every other line byte for byte; the value reads back.
TEST(ProfileFile, writesChangeOnlyTheLinesOfTheirKeys)
{
    // The file before (empty: none), "section/key", the value, the file after.
    const std::tuple<QByteArray, const char *, QString, QByteArray> rows[] = {
        {"; notes\r\n[Com]\r\nPort=1\r\n\r\n[D]\r\nK=1", "Com/Baud", "300",
         "; notes\r\n[Com]\r\nPort=1\r\nBaud=300\r\n\r\n[D]\r\nK=1"},
        {"[D]\r\nK=1", "D/K", "0", "[D]\r\nK=0\r\n"},
        {"[Com]\rPort=1\r[Net]\rIPAdr=x\r", "Com/Baud", "300",
         "[Com]\rPort=1\rBaud=300\r[Net]\rIPAdr=x\r"},
        {"[A]\r\nk=1\nj=2\r\n", "A/j", "3", "[A]\r\nk=1\nj=3\r\n"},
        {"[A]\n  Key = old  \n", "a/KEY", "new", "[A]\n  Key = new\n"},
        // A written Windows-1252 line becomes UTF-8; a UTF-8 line keeps its name.
        {"[A]\nK\xe9y=\xfc\n", "A/K\u00e9y", "2", "[A]\nK\xc3\xa9y=2\n"},
        {"[A]\nK\xc3\xa9y=\xfc\n", "A/K\u00c3\u00a9y", "\u00FC",
         "[A]\nK\xc3\x83\xc2\xa9y=\xc3\xbc\n"},
        {"[A]\nK\xc3\xa9y=1\n", "A/K\u00e9y", "\u00FC", "[A]\nK\xc3\xa9y=\xc3\xbc\n"},
        {"; only a note", "S/k", "v", "; only a note\n[S]\nk=v\n"},
        {"\xEF\xBB\xBF[A]\r\nk=1\r\n", "A/k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
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
        setFile(ini, before);
        ASSERT_TRUE(profile::writeString(section, key, value, ini));
        EXPECT_EQ(fileBytes(ini), after);
        EXPECT_EQ(profile::getString(section, key, {}, -1, ini), value);
    }
    for (const QString &value : {QString("\""), QString(), QString("-2147221503")}) {
        ASSERT_TRUE(profile::writeString("K", "K", value, ini));
        EXPECT_EQ(profile::getString("K", "K", {}, 2046, ini), value);
    }
    EXPECT_EQ(profile::getInt("K", "K", 0, ini), -2147221503);
    // A file that cannot be read is not replaced by one with only the new key.
    const auto refusal = [](const QString &path) {
        QString error;
        EXPECT_FALSE(profile::writeString("A", "B", {}, path, &error));
        return error;
    };
    EXPECT_EQ(refusal(dir.filePath("missing/x.ini")), AtomicFile::describe(ENOENT));
    // This process's memory reads as an I/O error at address 0.
    EXPECT_EQ(refusal("/proc/self/mem"), AtomicFile::describe(EIO));

    // Binary garbage grows only by a line end, the section and the key.
    QByteArray garbage;
    for (quint32 i = 0, seed = 12345; i < 4096; ++i)
        garbage += static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    garbage.replace('[', 'x'); // no section to add the key to
    ASSERT_TRUE(writeFileBytes(ini, garbage));
    ASSERT_TRUE(profile::writeInt("Display", "UseKeyBar", 0, ini));
    const QByteArray out = fileBytes(ini), tail = out.mid(garbage.size());
    EXPECT_TRUE(out.startsWith(garbage) && tail.contains("[Display]")
                && tail.contains("UseKeyBar=0"));
    EXPECT_LE(tail.size(), qsizetype(2 + 9 + 2 + 11 + 2));
    EXPECT_EQ(profile::getInt("Display", "UseKeyBar", 1, ini), 0);
}

// Also where a later section of the same name holds a key.
TEST(ProfileFile, aBatchWriteEqualsWritingKeyByKey)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("test.ini");
    const QList<std::pair<QString, QString>> keys
        = {{"X", "10"}, {"y", "20"}, {"new", " n "}, {"x", "11"}, {"other", QString()}};
    for (const QByteArray &before :
         {QByteArray("[A]\r\nx=1\r\n[B]\r\nk1=old\r\n[a]\r\nY=2\r\nz=3\r\n"), QByteArray()}) {
        setFile(ini, before);
        for (const auto &[k, v] : keys)
            ASSERT_TRUE(profile::writeString("A", k, v, ini));
        const QByteArray oneByOne = fileBytes(ini);
        setFile(ini, before);
        ASSERT_TRUE(profile::writeStrings("A", keys, ini));
        EXPECT_EQ(fileBytes(ini), oneByOne);
        const profile::Snapshot after = profile::Snapshot::fromBytes(oneByOne);
        EXPECT_EQ(text(after, "A", "y") + text(after, "A", "x") + text(after, "A", "new")
                      + text(after, "B", "k1"),
                  before.isEmpty() ? "2011 n <def>" : "2011 n old");
    }
}

} // namespace
