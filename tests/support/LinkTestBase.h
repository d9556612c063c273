#pragma once

#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// What the terminal's and the window's tests share: an INI in a folder of its
// own (where the program's settings go too), a recorder of what is shown, and
// a test link whose far end the test holds.
class LinkTestBase : public ::testing::Test
{
protected:
    LinkTestBase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    ~LinkTestBase() override { setClockForTesting({}); }

    void ini(const QString &section, const QString &key, const QString &value)
    {
        profile::writeString(section, key, value, iniPath);
    }
    void hotKey(int i, const QString &text, bool crlf = false, bool hex = false)
    {
        ini("HotKeys", QStringLiteral("HotKeyText%1").arg(i), text);
        ini("HotKeys", QStringLiteral("HotKeyCRLF%1").arg(i), crlf ? "1" : "0");
        ini("HotKeys", QStringLiteral("HotKeyHex%1").arg(i), hex ? "1" : "0");
    }
    // Everything `port` sent so far: a marker byte goes out behind it through
    // the same port and the far end reads up to the marker.
    QByteArray sentSoFar(CPortEngine *port)
    {
        port->Write("\x7F", 1);
        QByteArray got;
        while (!got.endsWith('\x7F')) {
            const QByteArray more = link.readFar(1);
            if (more.isEmpty())
                return got + "<timeout>";
            got += more;
        }
        got.chop(1);
        return got;
    }

    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("o.ini"));
    RecordingUiServices ui;
    CTestLinkPort link;
    CTestPorts *testPorts = nullptr; // the test link's factory while the program uses it
};
