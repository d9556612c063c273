#pragma once

#include "display/DisplayModel.h"
#include "ports/ConnectionWait.h"
#include "support/EventLoopWait.h"
#include "support/ProgramTest.h"
#include "terminal/LinkReport.h"
#include "terminal/Terminal.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Stands in for the window while a server waits for its peer: `onWait` runs
// at every turn of the wait's event loop; when it returns true, the wait ends.
class TestConnectionWait final : public CConnectionWait
{
public:
    TestConnectionWait()
    {
        m_timer.callOnTimeout([this] {
            if (m_cancel && onWait && onWait())
                *m_cancel = 1;
        });
    }
    void beginPeerWait(int, std::atomic<int> *cancel) override
    {
        m_cancel = cancel;
        m_timer.start(5);
    }
    void endPeerWait() override
    {
        m_timer.stop();
        m_cancel = nullptr;
    }

    std::function<bool()> onWait;

private:
    std::atomic<int> *m_cancel = nullptr;
    QTimer m_timer;
};

// The terminal without a window; what it says in the status bar is kept in `lines`.
class TerminalTest : public ProgramTest<CTerminal>
{
protected:
    ~TerminalTest() override { terminal.reset(); } // before the wait it uses

    void create(bool realPorts = false) override
    {
        ProgramTest::create(realPorts);
        terminal->LoadSettings();
        terminal->setConnectionWait(&wait);
        QObject::connect(terminal.get(), &CTerminal::statusMessage, terminal.get(),
                         [this](const QString &line) { lines << line; });
    }
    QByteArray displayText() const { return terminal->display().buffer().text(); }
    // The state of the link as the pane beside the port shows it.
    QString linkState() const
    {
        return linkreport::stateText(terminal->shownLinkState(), terminal->handshakeHold());
    }
    QString status() const { return lines.isEmpty() ? QString() : lines.last(); }

    std::unique_ptr<CTerminal> &terminal = program;
    TestConnectionWait wait;
    QStringList lines;
};
