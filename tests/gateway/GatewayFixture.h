#pragma once

#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "gateway/GatewayDlg.h"
#include "gateway/GatewaySession.h"
#include "gateway/GroupAddressModel.h"
#include "platform/ProfileFile.h"
#include "support/EventLoopWait.h"
#include "support/Pty.h"
#include "support/RecordingUiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

// The terminal on a real serial port (a pseudo-terminal whose far end the
// test holds), with the gateway dialog opened on it as the menu command does,
// but not modally.
class GatewayTest : public ::testing::Test, public QObject
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
    // Counts how often the progress bar is shown.
    bool eventFilter(QObject *, QEvent *event) override
    {
        progressShows += event->type() == QEvent::Show ? 1 : 0;
        return false;
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
        frame->findChild<QProgressBar *>(QStringLiteral("sendProgress"))->installEventFilter(this);
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
    QStringList texts(std::initializer_list<const char *> fields) const
    {
        QStringList out;
        for (const char *f : fields)
            out << child<QLineEdit>(f)->text();
        return out;
    }
    void setGa(const QString &main, const QString &middle, const QString &sub)
    {
        type("gaMainEdit", main);
        type("gaMiddleEdit", middle);
        type("gaSubEdit", sub);
    }
    void addAddress(const QString &main, const QString &middle, const QString &sub, int format,
                    bool disabled)
    {
        setGa(main, middle, sub);
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
    bool sendButtonsEnabled(bool enabled) const
    {
        bool all = true;
        for (const char *b : {"sendOptionsButton", "sendAddressButton", "sendTableButton"})
            all = all && child<QPushButton>(b)->isEnabled() == enabled;
        return all;
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
    QByteArray readRest(int ms = 300) { return readFar(1 << 20, ms); }
    QByteArray displayText() const { return frame->view()->widget()->buffer().text(); }

    QTemporaryDir dir;
    QString iniPath;
    PtyPair pty;
    RecordingUiServices ui;
    std::unique_ptr<CMainFrame> frame;
    RecordingLink link;
    std::unique_ptr<CGatewayDlg> dialog;
    int progressShows = 0;
};

// Format texts as the table shows them.
const QString kFloat = QStringLiteral("9: EIB float value");
const QString kTime = QStringLiteral("10: EIB time");
const QString kDecimal = QStringLiteral("1: 1 - 6 bit decimal");
const QString kHex = QStringLiteral("21: 1 - 6 bit hexadecimal");

inline QByteArray frames(std::initializer_list<const char *> texts)
{
    QByteArray out;
    for (const char *t : texts)
        out += '\x02' + QByteArray(t) + '\x03';
    return out;
}
