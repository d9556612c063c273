#pragma once

#include "display/DisplayModel.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "ports/ConnectionWait.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "support/TestLinkPort.h"
#include "terminal/LinkReport.h"
#include "terminal/Terminal.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Stands in for the window while a server waits for its peer: `onWait` runs
// at every turn of the wait's event loop and may end it with cancel().
class TestConnectionWait final : public CConnectionWait
{
public:
    void beginPeerWait(int, std::atomic<int> *cancelFlag) override
    {
        m_cancel = cancelFlag;
        m_timer.callOnTimeout([this] {
            if (m_cancel && onWait)
                onWait();
        });
        m_timer.start(5);
    }
    void endPeerWait() override
    {
        m_timer.stop();
        m_cancel = nullptr;
    }
    void cancel()
    {
        if (m_cancel)
            *m_cancel = 1;
    }

    std::function<void()> onWait;

private:
    std::atomic<int> *m_cancel = nullptr;
    QTimer m_timer;
};

// The terminal without a window, on a test link whose far end the test holds
// (or on the real ports), with its INI in a folder of its own. What it says
// in the status bar is kept in `lines`.
class TerminalTest : public ::testing::Test
{
protected:
    TerminalTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    ~TerminalTest() override
    {
        terminal.reset();
        setClockForTesting({});
    }

    // The terminal from the INI written so far.
    void create(bool realPorts = false)
    {
        terminal.reset();
        auto ports = std::make_unique<CTestPorts>(&link);
        testPorts = realPorts ? nullptr : ports.get();
        terminal = std::make_unique<CTerminal>(iniPath, realPorts ? nullptr : std::move(ports));
        terminal->LoadSettings();
        terminal->setConnectionWait(&wait);
        QObject::connect(terminal.get(), &CTerminal::statusMessage, terminal.get(),
                         [this](const QString &line) { lines << line; });
    }
    // The same, and the terminal started with its local echo off.
    void start(bool realPorts = false)
    {
        create(realPorts);
        terminal->settings().localEcho = false;
        terminal->OnTerminalStart();
        ASSERT_TRUE(terminal->isRunning());
    }
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
    // Everything sent so far: a marker byte goes out behind it through the
    // same port and the far end reads up to the marker.
    QByteArray sentSoFar()
    {
        terminal->currentPort()->Write("\x7F", 1);
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
    QByteArray displayText() const { return terminal->display().buffer().text(); }
    // The state of the link as the pane beside the port shows it.
    QString linkState() const
    {
        return linkreport::stateText(terminal->shownLinkState(), terminal->handshakeHold());
    }
    QString status() const { return lines.isEmpty() ? QString() : lines.last(); }

    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("o.ini"));
    RecordingUiServices ui;
    TestConnectionWait wait;
    CTestLinkPort link;
    CTestPorts *testPorts = nullptr; // the test link's factory while the terminal uses it
    std::unique_ptr<CTerminal> terminal;
    QStringList lines;
};
