#include "settings/ConfigStore.h"
#include "display/CharacterMapping.h"
#include "platform/ProfileFile.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ConfigStore, valuesAreReadWithTheirLimitsAndNoIniFileGivesTheDefaults)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("o.ini");
    ASSERT_TRUE(writeFileBytes(
        ini, "[Com]\nUseSerial=0\nPort=3\nBaud=115200\nParity=1\nProtocol=7\nDevice=/dev/ttyUSB0\n"
             "[Display]\nUseLimit=1\nLimit=2\nUseLogging=5\nLogfile=/tmp/l.log\n"
             "UseKeyBar=0\n[CharTexts]\nActive=1\n13="
                 + QByteArray(40, 'c')
                 + "\n0=<NUL>\n[Net]\nIPAdr=\nPortNum=502\nSocketType=2\n[HotKeys]\nHotKeyText3="
                 + QByteArray(300, 't')
                 + "\nHotKeyReceiveText2=OK\nAutoReply=4\n[Send]\nFraming=7\nLineEnd=-2\n"
                   "Checksum=9\nChecksumText=3\nCharDelay=5000\nLineDelay=-1\n"));
    TerminalSettings s;
    CharMapTable table;
    std::array<QString, TerminalSettings::kHotKeys> captions;
    EXPECT_FALSE(ConfigStore::readSettings(ini, s, table, captions));
    EXPECT_EQ(std::tuple(s.portKind, s.comPort, s.baud, s.protocol, s.portNumber, s.socketType),
              std::tuple(0, 3, 115200, 7, 502, 2));
    EXPECT_TRUE(s.display.displayLimitOn && s.display.loggingOn && s.display.charMappingOn);
    EXPECT_EQ(
        (std::tuple{s.display.displayLimit, table.text(13), captions[3], s.receiveTexts[2],
                    s.display.autoReplyMask}),
        (std::tuple{2048, QByteArray(30, 'c'), "F4: " + QString(254, u't'), QString("OK"), 4u}));
    // Send values beyond their range read as the nearest allowed one.
    EXPECT_EQ(s.send, (SendSettings{true, 0, 5, true, 1000, 0}));

    // No file, or a file without the keys: the defaults.
    ASSERT_TRUE(writeFileBytes(dir.filePath("empty.ini"), "[CharTexts]\n[Display]\n"));
    for (const char *name : {"none.ini", "empty.ini"}) {
        s = TerminalSettings();
        s.display.charMappingOn = s.display.loggingOn = s.display.displayLimitOn = true;
        EXPECT_TRUE(ConfigStore::readSettings(dir.filePath(name), s, table, captions)); // key bar
        EXPECT_EQ(std::tuple(s.socketType, s.display.hexBytesPerLine, s.display.autoReplyMask),
                  std::tuple(1, 16, 0u));
        EXPECT_FALSE(s.display.displayLimitOn || s.display.charMappingOn || s.display.loggingOn);
        EXPECT_EQ(s.send, SendSettings()); // the r+k framing, CR LF, no checksum, no pauses
    }
}

TEST(ConfigStore, iniLivesBesideTheProgramOnlyWhereThatWorks)
{
    QTemporaryDir dir;
    const QString programDir = dir.filePath("bin/");
    ASSERT_TRUE(QDir().mkpath(programDir));
    const QString config = dir.filePath("config");
    const QString fallback = config + "/ORBA/ORBATerminal.INI";
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    EXPECT_EQ(ConfigStore::resolveIniPath(programDir, ""), programDir + "ORBATerminal.INI");
    EXPECT_EQ(ConfigStore::resolveIniPath(dir.filePath("nowhere/"), ""), fallback);
    // An installed program's folder, writable or not (root), never gets one.
    ASSERT_FALSE(QFile::exists("/usr/bin/ORBATerminal.INI"));
    EXPECT_TRUE(ConfigStore::resolveIniPath("/usr/bin/", "") == fallback
                && QDir(config + "/ORBA").exists());
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(ConfigStore, settingsFilesAreByteCopies)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("ORBATerminal.INI");
    EXPECT_EQ(ConfigStore::proposedSettingsFileName("/a.b/noext"), "noext.spt");
    const QString spt = dir.filePath("saved.spt");
    // No INI yet: the saved file holds the defaults, that is nothing.
    ASSERT_TRUE(ConfigStore::copySettingsFile(ini, spt));
    EXPECT_EQ(QFile(spt).size(), 0);
    profile::writeInt("Com", "Port", 4, ini);
    profile::writeString("GAS", "1", "-5", ini);
    ASSERT_TRUE(ConfigStore::copySettingsFile(ini, spt));
    profile::writeInt("Com", "Port", 1, ini);
    ASSERT_TRUE(ConfigStore::copySettingsFile(spt, ini));
    EXPECT_EQ(profile::getInt("Com", "Port", 0, ini), 4);
    EXPECT_EQ(profile::getInt("GAS", "1", 0, ini), -5);
    EXPECT_FALSE(ConfigStore::copySettingsFile(ini, dir.filePath("no/dir/x.spt")));
}

} // namespace
