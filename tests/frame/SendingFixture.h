#pragma once

#include "display/DisplayModel.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "input/HexEdit.h"
#include "support/EventLoopWait.h"
#include "support/ProgramTest.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

// Hands each new active modal dialog to `act`, which must close it; records its class.
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

// The main window, shown and active as a user has it.
class WindowTest : public ProgramTest<CMainFrame>
{
protected:
    void create(bool realPorts = false) override
    {
        ProgramTest::create(realPorts);
        frame->show();
        QApplication::setActiveWindow(frame.get());
    }
    QByteArray displayText() const { return frame->terminal().display().buffer().text(); }
    QAction *action(int id) const { return frame->action(id); }
    template<typename T = QLabel>
    T *child(const char *name) const
    {
        return frame->findChild<T *>(QLatin1String(name));
    }
    QString pane(const char *name) const { return child(name)->text(); }
    QString status() const { return frame->statusBar()->currentMessage(); }

    std::unique_ptr<CMainFrame> &frame = program;
};
