// The device that scripts/demo starts, at the far end of a pseudo-terminal:
// with the demo's own settings the terminal's hotkeys get their answers, the
// auto-reply keeps it content, and a file goes to its printer and back.
#include "display/DisplayWidget.h"
#include "display/RuKTerminalView.h"
#include "frame/MainFrame.h"
#include "frame/SendingFixture.h"
#include "support/EventLoopWait.h"
#include "support/RecordingUiServices.h"
#include "transfer/Crc32.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DemoDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        device.setProgram(QStringLiteral(ORBA_DEMO_DEVICE));
        device.setArguments(
            {"--pty", "--dir", dir.path(), "--interval-ms", "150", "--alive-every", "3"});
        device.start();
        ASSERT_TRUE(device.waitForStarted());
        ASSERT_TRUE(eventually([&] {
            log += device.readAllStandardOutput();
            return log.contains('\n');
        }));
        ASSERT_TRUE(log.startsWith("pty ")) << log.toStdString();
        path = QString::fromLocal8Bit(log.mid(4, log.indexOf('\n') - 4));
    }
    void TearDown() override
    {
        frame.reset(); // the terminal lets go of the line first
        device.terminate();
        device.waitForFinished();
    }
    // The demo's settings file, pointed at this device.
    QString demoIni() const
    {
        QFile in(QStringLiteral(ORBA_DEMO_INI));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        const QString ini = dir.filePath(QStringLiteral("ORBATerminal.INI"));
        QFile out(ini);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(in.readAll().replace("@DEVICE@", path.toLocal8Bit()));
        return ini;
    }
    QString shown() const { return frame->view()->widget()->plainText(); }

    QTemporaryDir dir;
    RecordingUiServices ui;
    QProcess device;
    QByteArray log;
    QString path;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(DemoDeviceTest, theDemosHotKeysAreAnsweredAndAliveIsAnsweredByItself)
{
    frame = std::make_unique<CMainFrame>(demoIni());
    frame->show();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    // Readings arrive by themselves.
    EXPECT_TRUE(eventually([&] { return shown().contains("T="); }));

    frame->FireHotKey(1); // F2: VER
    EXPECT_TRUE(eventually([&] { return shown().contains("ORBA demo room controller"); }))
        << shown().toStdString();
    frame->FireHotKey(4); // F5: LIGHT ON
    EXPECT_TRUE(eventually([&] { return shown().contains("LIGHT=ON"); }));
    // Every third reading the device asks "ALIVE?"; F12 answers it unasked.
    EXPECT_TRUE(eventually([&] { return shown().contains("ALIVE OK - thank you for answering"); }))
        << shown().toStdString();
}

// The round trip the demo offers: a file to the printer and back, while
// readings keep arriving around the request and its answer.
TEST_F(DemoDeviceTest, aFileGoesToThePrinterAndComesBackWhileReadingsFlow)
{
    frame = std::make_unique<CMainFrame>(demoIni());
    frame->show();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    ModalDriver names([](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("fileName"))->setText("ROUND.TXT");
        dialog->accept();
    });
    QByteArray content;
    for (int i = 0; i < 2000; ++i)
        content += "line " + QByteArray::number(i) + ", with * and \x02\x03 in it\r\n";
    const QString source = dir.filePath(QStringLiteral("source.txt"));
    QFile out(source);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();

    ui.files = {source};
    frame->SendFile(true);
    const QString stored = dir.filePath(QStringLiteral("ROUND.TXT"));
    ASSERT_TRUE(eventually([&] {
        log += device.readAllStandardOutput();
        return log.contains("stored ROUND.TXT");
    })) << log.toStdString();
    EXPECT_TRUE(log.contains("CRC")) << log.toStdString();
    EXPECT_FALSE(log.contains("mismatch")) << log.toStdString();

    const QString target = dir.filePath(QStringLiteral("back.txt"));
    ui.files = {target};
    frame->OnReceivePrinterFile();
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }, 20000));
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("File [%1] has been received successfully!")
                                           .arg(QDir::toNativeSeparators(target)));
    QFile back(target);
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_TRUE(back.readAll() == content);
}

} // namespace
