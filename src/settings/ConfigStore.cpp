#include "ConfigStore.h"

#include "display/CharacterMapping.h"
#include "platform/AtomicFile.h"
#include "platform/Codepage.h"
#include "platform/ProfileFile.h"
#include "platform/UiServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace ConfigStore {

QString programDirectory()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

namespace {
// The folders of installed programs: shared by every user and managed by the
// package manager, which would leave a settings file there behind. Root can
// write there too, so being writable says nothing.
bool isSystemProgramFolder(const QString &dir)
{
    const QString path = QDir::cleanPath(QFileInfo(dir).absoluteFilePath()) + u'/';
    for (const char *prefix : {"/usr/", "/bin/", "/sbin/"}) {
        if (path.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}
} // namespace

QString resolveIniPath(const QString &programDir, const QString &explicitPath)
{
    if (!explicitPath.isEmpty())
        return QFileInfo(explicitPath).absoluteFilePath();
    const QString besideProgram = QDir(programDir).filePath(QLatin1String(kIniFileName));
    const QFileInfo dirInfo(programDir);
    if (QFileInfo::exists(besideProgram)
        || (dirInfo.isDir() && dirInfo.isWritable() && !isSystemProgramFolder(programDir)))
        return besideProgram;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = config + QStringLiteral("/ORBA");
    QDir().mkpath(folder);
    return folder + u'/' + QLatin1String(kIniFileName);
}

QString hotKeyCaption(int index, const QString &text)
{
    return QStringLiteral("F%1: %2").arg(index + 1).arg(text);
}

QString hotKeyCaption(const QString &iniPath, int index)
{
    return hotKeyCaption(index, profile::getString(QStringLiteral("HotKeys"),
                                                   QStringLiteral("HotKeyText%1").arg(index),
                                                   QString(), 254, iniPath));
}

bool readSettings(const QString &iniPath, TerminalSettings &s, CharMapTable &table,
                  std::array<QString, TerminalSettings::kHotKeys> &captions)
{
    // One parse for the whole read; nothing is kept after it.
    const profile::Snapshot ini(iniPath);
    const QString com = QStringLiteral("Com");
    s.portKind = ini.getInt(com, QStringLiteral("UseSerial"), 1);
    s.comPort = ini.getInt(com, QStringLiteral("Port"), 1);
    s.baud = ini.getInt(com, QStringLiteral("Baud"), 19200);
    s.dataBits = ini.getInt(com, QStringLiteral("DataBits"), 8);
    s.stopBits = ini.getInt(com, QStringLiteral("StopBits"), 1);
    s.parity = ini.getInt(com, QStringLiteral("Parity"), 0);
    s.protocol = ini.getInt(com, QStringLiteral("Protocol"), 2);
    s.comDevice = ini.getString(com, QStringLiteral("Device"), QString(), 254);

    const QString charTexts = QStringLiteral("CharTexts");
    for (int code = 0; code < CharMapTable::kCodes; ++code) {
        table.setText(
            code, codepage::fromUnicode(ini.getString(charTexts, QString::number(code), QString(),
                                                      CharMapTable::kMaxTextLength)));
    }
    s.display.charMappingOn = ini.getInt(charTexts, QStringLiteral("Active"), 0) != 0;

    const QString display = QStringLiteral("Display");
    s.display.displayLimitOn = ini.getInt(display, QStringLiteral("UseLimit"), 0) != 0;
    s.display.displayLimit = qint64(ini.getInt(display, QStringLiteral("Limit"), 0)) * 1024;
    s.display.hexBytesPerLine = ini.getInt(display, QStringLiteral("LineBreakCnt"), 16);
    s.display.loggingOn = ini.getInt(display, QStringLiteral("UseLogging"), 0) != 0;
    // Read whole: a path cut short would log into another file.
    s.display.logFilePath = ini.getString(display, QStringLiteral("Logfile"), QString(), -1);

    const QString net = QStringLiteral("Net");
    s.address = ini.getString(net, QStringLiteral("IPAdr"), QStringLiteral("192.168.0.1"), 254);
    s.peerAddress = QLatin1String(TerminalSettings::kUnknownPeer);
    s.portNumber = ini.getInt(net, QStringLiteral("PortNum"), 9100);
    s.socketType = ini.getInt(net, QStringLiteral("SocketType"), 1);

    s.usbDevicePath = ini.getString(QStringLiteral("Usb"), QStringLiteral("DeviceName"),
                                    QStringLiteral("\\\\?\\usb"), 254);

    const QString hotKeys = QStringLiteral("HotKeys");
    for (int i = 0; i < TerminalSettings::kHotKeys; ++i) {
        captions[i] = hotKeyCaption(
            i, ini.getString(hotKeys, QStringLiteral("HotKeyText%1").arg(i), QString(), 254));
        s.receiveTexts[i]
            = ini.getString(hotKeys, QStringLiteral("HotKeyReceiveText%1").arg(i), QString(), 254);
    }
    s.display.autoReplyMask
        = static_cast<std::uint32_t>(ini.getInt(hotKeys, QStringLiteral("AutoReply"), 0));

    // Hand-edited values beyond the range are read as the nearest allowed one.
    const QString send = QStringLiteral("Send");
    const auto ranged = [&](const char *key, int def, int lo, int hi) {
        return std::clamp(ini.getInt(send, QLatin1String(key), def), lo, hi);
    };
    s.send.framing = ranged("Framing", 1, 0, 1) != 0;
    s.send.lineEnd = ranged("LineEnd", 3, 0, SendSettings::kLineEnds - 1);
    s.send.checksum = ranged("Checksum", 0, 0, SendSettings::kChecksums - 1);
    s.send.checksumText = ranged("ChecksumText", 0, 0, 1) != 0;
    s.send.charDelayMs = ranged("CharDelay", 0, 0, SendSettings::kMaxCharDelayMs);
    s.send.lineDelayMs = ranged("LineDelay", 0, 0, SendSettings::kMaxLineDelayMs);
    return ini.getInt(display, QStringLiteral("UseKeyBar"), 1) != 0;
}

QString proposedSettingsFileName(const QString &iniPath)
{
    QString name = QFileInfo(iniPath).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name + QStringLiteral(".spt");
}

bool copySettingsFile(const QString &from, const QString &to, QString *error)
{
    QByteArray bytes;
    QFile source(from);
    if (source.exists()) {
        if (!source.open(QIODevice::ReadOnly)) {
            if (error)
                *error = source.errorString();
            return false;
        }
        bytes = source.readAll();
        if (source.error() != QFileDevice::NoError) {
            if (error)
                *error = source.errorString();
            return false;
        }
    }
    return AtomicFile::save(to, bytes, error);
}

bool writeKeys(const QString &iniPath, const QString &section, const profile::KeyValues &values,
               bool closing)
{
    QString reason;
    if (profile::writeStrings(section, values, iniPath, &reason))
        return true;
    const QString path = QDir::toNativeSeparators(iniPath);
    uiServices().beep();
    uiServices().messageBox(
        closing ? QCoreApplication::translate("SettingsFiles",
                                              "The settings could not be saved in %1.\n%2")
                      .arg(path, reason)
                : QCoreApplication::translate("SettingsFiles",
                                              "The settings could not be saved in %1.\n%2\n"
                                              "They apply until the program ends.")
                      .arg(path, reason),
        QString(), UiServices::Icon::Stop);
    return false;
}

} // namespace ConfigStore
