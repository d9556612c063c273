#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProfileFileTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("test.ini")); }
    void writeRaw(const QByteArray &bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readRaw() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString str(const char *section, const char *key, int max = 254)
    {
        return profile::getString(QLatin1String(section), QLatin1String(key),
                                  QStringLiteral("<def>"), max, path());
    }
    int num(const char *section, const char *key)
    {
        return profile::getInt(QLatin1String(section), QLatin1String(key), -999, path());
    }
    bool write(const char *section, const char *key, const QString &value)
    {
        return profile::writeString(QLatin1String(section), QLatin1String(key), value, path());
    }

    QTemporaryDir m_dir;
};

TEST_F(ProfileFileTest, readsTolerateWhatHandsAndOtherProgramsLeave)
{
    EXPECT_EQ(num("Com", "Baud"), -999); // no file
    const struct
    {
        const char *file;
        const char *section, *key;
        QString text; // the value as text, "<def>" for none
        int number;
    } rows[] = {
        {"[Com]\nPort=3\n", "Com", "Baud", "<def>", -999},
        {"[Com]\nPort=3\n", "Other", "Port", "<def>", -999},
        {"[S]\nK=  42abc\n", "S", "K", "42abc", 42},
        {"[S]\nK=-7\n", "S", "K", "-7", -7},
        {"[S]\nK=+5\n", "S", "K", "+5", 5},
        {"[S]\nK=abc\n", "S", "K", "abc", 0},
        {"[S]\nK=\n", "S", "K", "", 0},
        {"[S]\nK=0x10\n", "S", "K", "0x10", 0},
        {"[S]\nK=12 34\n", "S", "K", "12 34", 12},
        {"[S]\nK=3.9\n", "S", "K", "3.9", 3},
        {"[S]\nK=99999999999\n", "S", "K", "99999999999", 2147483647},
        {"[S]\nK=-99999999999\n", "S", "K", "-99999999999", -2147483647 - 1},
        {"[S]\nK=-2147483648\n", "S", "K", "-2147483648", -2147483647 - 1},
        // Names compare without case; the first of duplicates wins.
        {"[hotkeys]\nHOTKEYTEXT0=first\nhotkeytext0=second\n", "HotKeys", "HotKeyText0", "first",
         0},
        {"[a]\nx=1\n[A]\ny=2\n", "A", "Y", "2", 2},
        // Line ends, comments and garbage.
        {"garbage\r\n; c=1\r\n[Com]\r\n  Port = 4  \r\nnot a key\r\n[broken\r\n=nokey\r\n", "Com",
         "Port", "4", 4},
        {"; c=1\r\n[Com]\r\nPort=4\r\n", "Com", "c", "<def>", -999},
        {"[Net]\r\nIPAdr=10.0.0.1", "Net", "IPAdr", "10.0.0.1", 10},
        // Windows-1252 files.
        {"[H]\nT=Gr\xfc\xdf \x80\n", "H", "T", QStringLiteral("Gr\u00FC\u00DF \u20AC"), 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        writeRaw(row.file); // read straight from the file every time
        EXPECT_EQ(str(row.section, row.key), row.text);
        EXPECT_EQ(num(row.section, row.key), row.number);
    }
    writeRaw("[CharTexts]\n65=" + QByteArray(40, 'a') + "\n");
    EXPECT_EQ(str("CharTexts", "65", 30), QString(30, u'a')); // cut to the limit

    // A huge file reads with defined results.
    QByteArray big = "[Com]\nPort=6\n";
    const QByteArray line = "junk" + QByteArray(100, 'x') + "=" + QByteArray(100, 'y') + "\n";
    while (big.size() < 10 * 1024 * 1024)
        big += line;
    writeRaw(big + "[Display]\nLimit=" + QByteArray(5000, '9') + "\n");
    const profile::Snapshot ini(path());
    EXPECT_EQ(ini.getInt(QStringLiteral("Com"), QStringLiteral("Port"), 0), 6);
    EXPECT_EQ(ini.getInt(QStringLiteral("Display"), QStringLiteral("Limit"), 0), 2147483647);
    EXPECT_EQ(ini.getString(QStringLiteral("Display"), QStringLiteral("Limit"), {}, 30).size(), 30);
}

TEST_F(ProfileFileTest, writesKeepTheRestOfTheFileAndReadBackUnchanged)
{
    ASSERT_TRUE(write("Com", "Port", "2"));
    ASSERT_TRUE(profile::writeInt(QStringLiteral("Com"), QStringLiteral("Baud"), 9600, path()));
    ASSERT_TRUE(write("Net", "IPAdr", "1.2.3.4"));
    ASSERT_TRUE(write("com", "PORT", "5"));
    EXPECT_EQ(readRaw(), QByteArray("[Com]\nPort=5\nBaud=9600\n[Net]\nIPAdr=1.2.3.4\n"));

    writeRaw("; my notes\r\n[Com]\r\nPort=1\r\n\r\n[Display]\r\nUseKeyBar=1");
    ASSERT_TRUE(
        profile::writeInt(QStringLiteral("Display"), QStringLiteral("UseKeyBar"), 0, path()));
    ASSERT_TRUE(profile::writeInt(QStringLiteral("Com"), QStringLiteral("Baud"), 300, path()));
    EXPECT_EQ(readRaw(), QByteArray("; my notes\r\n[Com]\r\nPort=1\r\nBaud=300\r\n\r\n"
                                    "[Display]\r\nUseKeyBar=0\r\n"));

    const QString values[] = {"  leading and trailing  ",
                              "\"quoted\"",
                              "a=b=c",
                              "; not a comment",
                              "[x]",
                              QStringLiteral("\u00C4\u00D6\u00DC \u00DF \u20AC"),
                              QString(),
                              "\"",
                              "-2147221503"};
    for (const QString &v : values) {
        ASSERT_TRUE(write("HotKeys", "K", v));
        EXPECT_EQ(str("HotKeys", "K", 2046), v);
    }
    EXPECT_EQ(num("HotKeys", "K"), -2147221503);
    EXPECT_FALSE(profile::writeString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                      m_dir.filePath(QStringLiteral("missing/dir/x.ini"))));
}

TEST_F(ProfileFileTest, batchWriteEqualsWritingKeyByKey)
{
    const QByteArray start = "[A]\r\nx=1\r\n[B]\r\nk1=old\r\n[a]\r\nY=2\r\nz=3\r\n";
    const QList<std::pair<QString, QString>> keys
        = {{"X", "10"}, {"y", "20"}, {"new", " n "}, {"x", "11"}, {"other", QString()}};
    writeRaw(start);
    for (const auto &[k, v] : keys)
        ASSERT_TRUE(profile::writeString(QStringLiteral("A"), k, v, path()));
    const QByteArray oneByOne = readRaw();
    writeRaw(start);
    ASSERT_TRUE(profile::writeStrings(QStringLiteral("A"), keys, path()));
    EXPECT_EQ(readRaw(), oneByOne);
    // A key that only a later section of the same name holds is replaced there.
    EXPECT_EQ(str("A", "y"), QStringLiteral("20"));
    EXPECT_EQ(str("A", "x"), QStringLiteral("11"));
    EXPECT_EQ(str("A", "new"), QStringLiteral(" n "));
    EXPECT_EQ(str("B", "k1"), QStringLiteral("old"));
    // Into a file that does not exist yet.
    QFile::remove(path());
    ASSERT_TRUE(profile::writeStrings(QStringLiteral("S"), keys, path()));
    EXPECT_EQ(readRaw(), QByteArray("[S]\nX=11\ny=20\nnew=\" n \"\nother=\n"));
}

} // namespace

namespace {

// Writing a key leaves every line it does not touch as it was, byte for byte,
// whatever its encoding and line end.
TEST(ProfileText, writesChangeOnlyTheLinesOfTheirKeys)
{
    struct Row
    {
        const char *what;
        QByteArray before;
        const char *section;
        const char *key;
        QString value;
        QByteArray after;
    } rows[] = {
        {"UTF-8 file with one Windows-1252 line",
         "; Gr\xc3\xbc\xc3\x9f"
         "e\r\n[HotKeys]\r\nHotKeyText0=old\r\nHotKeyText1=Gr\xfc\xdf\r\n",
         "HotKeys", "HotKeyText0", QStringLiteral("\u00C4\u20AC"),
         "; Gr\xc3\xbc\xc3\x9f"
         "e\r\n[HotKeys]\r\nHotKeyText0=\xc3\x84\xe2\x82\xac\r\n"
         "HotKeyText1=Gr\xfc\xdf\r\n"},
        {"CR-only file, new key", "[Com]\rPort=1\r[Net]\rIPAdr=x\r", "Com", "Baud",
         QStringLiteral("300"), "[Com]\rPort=1\rBaud=300\r[Net]\rIPAdr=x\r"},
        {"mixed line ends stay mixed", "[A]\r\nk=1\nj=2\r\n", "A", "j", QStringLiteral("3"),
         "[A]\r\nk=1\nj=3\r\n"},
        {"blanks around = and the name's spelling stay", "[A]\n  Key = old  \n", "a", "KEY",
         QStringLiteral("new"), "[A]\n  Key = new\n"},
        {"a line read as Windows-1252 is written in UTF-8", "[A]\nK\xe9y=\xfc\n", "A", "K\u00e9y",
         QStringLiteral("2"), "[A]\nK\xc3\xa9y=2\n"},
        {"so is a UTF-8 name with a Windows-1252 value", "[A]\nK\xc3\xa9y=\xfc\n", "A",
         "K\u00c3\u00a9y", QStringLiteral("\u00FC"), "[A]\nK\xc3\x83\xc2\xa9y=\xc3\xbc\n"},
        {"a UTF-8 line keeps its name", "[A]\nK\xc3\xa9y=1\n", "A", "K\u00e9y",
         QStringLiteral("\u00FC"), "[A]\nK\xc3\xa9y=\xc3\xbc\n"},
        {"last line without line end", "[A]\nk=1", "A", "n", QStringLiteral("2"),
         "[A]\nk=1\nn=2\n"},
        {"new section after a last line without line end", "; only a note", "S", "k",
         QStringLiteral("v"), "; only a note\n[S]\nk=v\n"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", QStringLiteral("2"),
         "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        // A lone CR before an LF line would join into one CR LF: the blank
        // line after the new key would be lost.
        {"a new line ends like the line it follows", "[A]\rk=1\n\n[B]\r", "A", "n",
         QStringLiteral("2"), "[A]\rk=1\nn=2\n\n[B]\r"},
        {"a new section ends like the last line", "[A]\rk=1\n", "S", "n", QStringLiteral("2"),
         "[A]\rk=1\n[S]\nn=2\n"},
    };
    for (const Row &row : rows) {
        const QByteArray out = profile::withStrings(row.before, QString::fromUtf8(row.section),
                                                    {{QString::fromUtf8(row.key), row.value}});
        EXPECT_EQ(out, row.after) << row.what;
        EXPECT_EQ(profile::Snapshot::fromBytes(out).getString(QString::fromUtf8(row.section),
                                                              QString::fromUtf8(row.key), {}, -1),
                  row.value)
            << row.what;
    }
}

TEST(ProfileText, eachLineIsReadInItsOwnEncodingAndEveryLineEndCounts)
{
    const profile::Snapshot ini = profile::Snapshot::fromBytes(
        "\xEF\xBB\xBF[A]\rcr=1\r[B]\nlf=\xc3\xa4\r\n[C]\r\ncrlf=\xe4\r\r\n");
    EXPECT_EQ(ini.getInt(QStringLiteral("A"), QStringLiteral("cr"), -1), 1);
    EXPECT_EQ(ini.getString(QStringLiteral("B"), QStringLiteral("lf"), {}, -1),
              QStringLiteral("\u00E4"));
    EXPECT_EQ(ini.getString(QStringLiteral("C"), QStringLiteral("crlf"), {}, -1),
              QStringLiteral("\u00E4"));
}

TEST(ProfileText, binaryGarbageGrowsOnlyByTheNewKey)
{
    QByteArray garbage;
    quint32 seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 24);
    }
    garbage.replace('[', 'x'); // no section to add the key to
    const QByteArray out = profile::withStrings(
        garbage, QStringLiteral("Display"), {{QStringLiteral("UseKeyBar"), QStringLiteral("0")}});
    ASSERT_TRUE(out.startsWith(garbage));
    const QByteArray tail = out.mid(garbage.size());
    EXPECT_TRUE(tail.contains("[Display]") && tail.contains("UseKeyBar=0"))
        << tail.toHex().toStdString();
    // At most a line end for the last line, then the section and the key.
    EXPECT_LE(tail.size(), qsizetype(2 + 9 + 2 + 11 + 2));
    EXPECT_EQ(profile::Snapshot::fromBytes(out).getInt(QStringLiteral("Display"),
                                                       QStringLiteral("UseKeyBar"), 1),
              0);
}

} // namespace
