#pragma once

#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "gateway/GatewayDlg.h"
#include "gateway/GatewaySession.h"
#include "gateway/GroupAddressModel.h"
#include "platform/ProfileFile.h"
#include "ports/PortEngine.h"
#include "support/EventLoopWait.h"
#include "support/Pty.h"
#include "support/RecordingUiServices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Counts how often a widget is shown.
class ShowCounter final : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

// The session's link, recording every write the dialog makes through it.
class RecordingLink final : public CGatewayLink
{
public:
    CGatewayLink *inner = nullptr;
    QList<QByteArray> writes;

    bool isRunning() const override { return inner->isRunning(); }
    int write(const QByteArray &bytes) override
    {
        writes << bytes;
        return inner->write(bytes);
    }
    void echoSent(const QByteArray &bytes) override { inner->echoSent(bytes); }
    void startSendProgress(int blocks) override { inner->startSendProgress(blocks); }
};

// The terminal running on a real serial port: a pseudo-terminal whose far
// end the test holds. The gateway dialog is opened on it as the menu
// command opens it, but without running modally.
class GatewayTest : public ::testing::Test
{
protected:
    GatewayTest()
    {
        iniPath = dir.filePath(QStringLiteral("o.ini"));
        EXPECT_TRUE(pty.isValid());
        ini("Com", "UseSerial", "1");
        ini("Com", "Device", pty.devicePath());
        ini("Com", "Protocol", "0");
    }
    ~GatewayTest() override
    {
        dialog.reset();
        frame.reset();
    }

    void ini(const char *section, const char *key, const QString &value)
    {
        profile::writeString(QLatin1String(section), QLatin1String(key), value, iniPath);
    }
    QString iniValue(const char *section, const char *key) const
    {
        return profile::getString(QLatin1String(section), QLatin1String(key),
                                  QStringLiteral("<missing>"), 4096, iniPath);
    }

    // The main window, started (or not), with its local echo off.
    void startTerminal(bool run = true)
    {
        frame = std::make_unique<CMainFrame>(iniPath);
        frame->show();
        frame->settings().localEcho = false;
        if (run) {
            frame->OnTerminalStart();
            ASSERT_TRUE(frame->isRunning());
        }
        progress = frame->findChild<QProgressBar *>(QStringLiteral("sendProgress"));
        ASSERT_NE(progress, nullptr);
        progress->installEventFilter(&progressShows);
    }
    void openDialog()
    {
        CGatewaySession &session = CGatewaySession::of(*frame);
        link.inner = &session;
        dialog = std::make_unique<CGatewayDlg>(link, session.upload(), iniPath, dir.path(),
                                               frame.get());
        dialog->show();
    }
    // Closes the dialog as its close box does.
    void closeDialog()
    {
        dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        dialog.reset();
    }

    template<typename T>
    T *child(const char *name) const
    {
        T *w = dialog->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void type(const char *field, const QString &text) { child<QLineEdit>(field)->setText(text); }
    void addAddress(const QString &main, const QString &middle, const QString &sub, int format,
                    bool disabled)
    {
        type("gaMainEdit", main);
        type("gaMiddleEdit", middle);
        type("gaSubEdit", sub);
        child<QComboBox>("formatCombo")->setCurrentIndex(format - 1);
        child<QComboBox>("receiveCombo")->setCurrentIndex(disabled ? 1 : 0);
        click("addButton");
    }
    // The table as shown: "address|E|format text" per row.
    QStringList rows() const
    {
        QStringList out;
        const QAbstractItemModel *m = dialog->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString() + u'|' + m->index(r, 1).data().toString() + u'|'
                       + m->index(r, 2).data().toString();
        return out;
    }
    int selectedRow() const
    {
        const QModelIndexList s
            = child<QTableView>("addressList")->selectionModel()->selectedRows();
        return s.isEmpty() ? -1 : s.first().row();
    }

    // What arrives at the far end: `count` bytes, the event loop running meanwhile.
    QByteArray readFar(qsizetype count, int ms = 10000)
    {
        QByteArray got;
        eventually(
            [&] {
                got += pty.read(count - got.size(), 0);
                return got.size() >= count;
            },
            ms);
        return got;
    }
    // Everything that arrives within a moment (to see that nothing more comes).
    QByteArray readRest(int ms = 300)
    {
        QByteArray got;
        eventually(
            [&] {
                got += pty.read(1 << 20, 0);
                return false;
            },
            ms);
        return got;
    }
    QByteArray displayText() const { return frame->view()->widget()->buffer().text(); }

    QTemporaryDir dir;
    QString iniPath;
    PtyPair pty;
    RecordingUiServices ui;
    std::unique_ptr<CMainFrame> frame;
    RecordingLink link;
    std::unique_ptr<CGatewayDlg> dialog;
    QProgressBar *progress = nullptr;
    ShowCounter progressShows;
};
