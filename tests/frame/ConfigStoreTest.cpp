#include "frame/ConfigStore.h"
#include "display/CharacterMapping.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// (The port defaults show in the main window's port pane; see its tests.)
TEST(ConfigStore, noIniFileGivesTheDefaults)
{
    QTemporaryDir dir;
    TerminalSettings s;
    CharMapTable table;
    table.setText(65, "old");
    std::array<QString, TerminalSettings::kHotKeys> captions;
    EXPECT_TRUE(
        ConfigStore::readSettings(dir.filePath(QStringLiteral("none.ini")), s, table, captions));
    EXPECT_EQ(s.protocol, 2);
    EXPECT_EQ(s.socketType, 1);
    EXPECT_EQ(s.usbDevicePath, QStringLiteral("\\\\?\\usb"));
    EXPECT_EQ(s.display.hexBytesPerLine, 16);
    EXPECT_FALSE(s.display.displayLimitOn || s.display.charMappingOn || s.display.loggingOn);
    EXPECT_TRUE(table.text(65).isEmpty());
    EXPECT_EQ(captions[11], QStringLiteral("F12: "));
    EXPECT_EQ(s.display.autoReplyMask, 0u);
}

TEST(ConfigStore, valuesAreReadWithTheirLimits)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("o.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Com]\nUseSerial=0\nPort=3\nBaud=115200\nParity=1\nProtocol=7\nDevice=/dev/ttyUSB0\n"
            "[Display]\nUseLimit=1\nLimit=2\nLineBreakCnt=0\nUseLogging=5\nLogfile=/tmp/l.log\n"
            "UseKeyBar=0\n[CharTexts]\nActive=1\n13="
            + QByteArray(40, 'c')
            + "\n0=<NUL>\n"
              "[Net]\nIPAdr=\nPortNum=502\nSocketType=2\n"
              "[HotKeys]\nHotKeyText3="
            + QByteArray(300, 't')
            + "\nHotKeyReceiveText2=OK\n"
              "AutoReply=4\n");
    f.close();
    TerminalSettings s;
    CharMapTable table;
    std::array<QString, TerminalSettings::kHotKeys> captions;
    EXPECT_FALSE(ConfigStore::readSettings(ini, s, table, captions));
    EXPECT_EQ(s.portKind, 0);
    EXPECT_EQ(s.comPort, 3);
    EXPECT_EQ(s.baud, 115200);
    EXPECT_EQ(s.protocol, 7);
    EXPECT_EQ(s.comDevice, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(s.display.displayLimitOn);
    EXPECT_EQ(s.display.displayLimit, 2048);
    EXPECT_EQ(s.display.hexBytesPerLine, 0);
    EXPECT_TRUE(s.display.loggingOn);
    EXPECT_TRUE(s.display.charMappingOn);
    EXPECT_EQ(table.text(13), QByteArray(30, 'c'));
    EXPECT_EQ(table.text(0), QByteArray("<NUL>"));
    EXPECT_TRUE(s.address.isEmpty());
    EXPECT_EQ(s.portNumber, 502);
    EXPECT_EQ(s.socketType, 2);
    EXPECT_EQ(captions[3], QStringLiteral("F4: ") + QString(254, u't'));
    EXPECT_EQ(s.receiveTexts[2], QStringLiteral("OK"));
    EXPECT_EQ(s.display.autoReplyMask, 4u);
}

TEST(ConfigStore, iniLivesBesideTheProgramOnlyWhereThatWorks)
{
    QTemporaryDir dir;
    const QString programDir = dir.filePath(QStringLiteral("bin/"));
    ASSERT_TRUE(QDir().mkpath(programDir));
    const QString config = dir.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());

    EXPECT_EQ(ConfigStore::resolveIniPath(programDir, QString()),
              QDir(programDir).filePath(QStringLiteral("ORBATerminal.INI")));
    EXPECT_EQ(ConfigStore::resolveIniPath(programDir, dir.filePath(QStringLiteral("x.ini"))),
              dir.filePath(QStringLiteral("x.ini")));

    if (::geteuid() != 0) { // root writes everywhere
        QFile::setPermissions(programDir, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(ConfigStore::resolveIniPath(programDir, QString()),
                  config + QStringLiteral("/ORBA/ORBATerminal.INI"));
        QFile::setPermissions(programDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString missing = dir.filePath(QStringLiteral("nowhere/"));
    EXPECT_EQ(ConfigStore::resolveIniPath(missing, QString()),
              config + QStringLiteral("/ORBA/ORBATerminal.INI"));
    EXPECT_TRUE(QDir(config + QStringLiteral("/ORBA")).exists());
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(ConfigStore, settingsFilesAreByteCopies)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ORBATerminal.INI"));
    EXPECT_EQ(ConfigStore::proposedSettingsFileName(ini), QStringLiteral("ORBATerminal.spt"));
    EXPECT_EQ(ConfigStore::proposedSettingsFileName(QStringLiteral("/a.b/noext")),
              QStringLiteral("noext.spt"));

    const QString spt = dir.filePath(QStringLiteral("saved.spt"));
    // No INI yet: the saved file holds the defaults, that is nothing.
    ASSERT_TRUE(ConfigStore::copySettingsFile(ini, spt));
    EXPECT_EQ(QFile(spt).size(), 0);

    profile::writeInt(QStringLiteral("Com"), QStringLiteral("Port"), 4, ini);
    profile::writeString(QStringLiteral("GAS"), QStringLiteral("1"), QStringLiteral("-5"), ini);
    ASSERT_TRUE(ConfigStore::copySettingsFile(ini, spt));
    profile::writeInt(QStringLiteral("Com"), QStringLiteral("Port"), 1, ini);
    ASSERT_TRUE(ConfigStore::copySettingsFile(spt, ini));
    EXPECT_EQ(profile::getInt(QStringLiteral("Com"), QStringLiteral("Port"), 0, ini), 4);
    EXPECT_EQ(profile::getInt(QStringLiteral("GAS"), QStringLiteral("1"), 0, ini), -5);

    EXPECT_FALSE(ConfigStore::copySettingsFile(ini, dir.filePath(QStringLiteral("no/dir/x.spt"))));
}

} // namespace
