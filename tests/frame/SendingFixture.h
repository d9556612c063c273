#pragma once

#include "display/DisplayModel.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "input/HexEdit.h"
#include "support/EventLoopWait.h"
#include "support/LinkTestBase.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Hands every dialog that becomes the active modal widget to `act`, which must
// close it; records their class names.
class ModalDriver : public QObject
{
public:
    explicit ModalDriver(std::function<void(QDialog *)> act)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, act] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || m_seen.contains(dialog))
                return;
            m_seen.push_back(dialog);
            opened << QString::fromLatin1(dialog->metaObject()->className());
            act(dialog);
        });
        m_timer.start(5);
    }

    QStringList opened;

private:
    QTimer m_timer;
    QList<QPointer<QDialog>> m_seen;
};

// The main window on a test link whose far end the test holds (or on the real
// ports), with its INI in a folder of its own.
class WindowTest : public LinkTestBase
{
protected:
    ~WindowTest() override { frame.reset(); }

    // The window from the INI written so far, shown and active as a user has it.
    void create(bool realPorts = false)
    {
        frame.reset();
        auto ports = std::make_unique<CTestPorts>(&link);
        testPorts = realPorts ? nullptr : ports.get();
        frame = realPorts ? std::make_unique<CMainFrame>(iniPath)
                          : std::make_unique<CMainFrame>(iniPath, std::move(ports));
        frame->show();
        QApplication::setActiveWindow(frame.get());
    }
    // The same, and the terminal started with its local echo off.
    void start(bool realPorts = false)
    {
        create(realPorts);
        frame->settings().localEcho = false;
        frame->OnTerminalStart();
        ASSERT_TRUE(frame->isRunning());
    }
    QByteArray sentSoFar() { return LinkTestBase::sentSoFar(frame->currentPort()); }
    QByteArray displayText() const { return frame->terminal().display().buffer().text(); }
    QAction *action(int id) const { return frame->action(id); }
    template<typename T = QLabel>
    T *child(const char *name) const
    {
        return frame->findChild<T *>(QLatin1String(name));
    }
    QString pane(const char *name) const { return child(name)->text(); }
    QString status() const { return frame->statusBar()->currentMessage(); }

    std::unique_ptr<CMainFrame> frame;
};
