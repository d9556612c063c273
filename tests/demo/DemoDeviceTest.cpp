// The device that scripts/demo starts, at the far end of a pseudo-terminal:
// with the demo's own settings the terminal's hotkeys get their answers, the
// auto-reply keeps it content, and the printer's and gateway's frames reach
// the parts that play them.
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

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

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
        if (fd >= 0)
            ::close(fd);
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

    // The line itself, for the frames the terminal never sends on its own.
    void openLine()
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
    }
    void send(const QByteArray &bytes)
    {
        ASSERT_EQ(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    }
    // What the device sent until `needle` arrived (or 10 s passed).
    QByteArray receiveUntil(const QByteArray &needle)
    {
        QByteArray got;
        eventually(
            [&] {
                char buffer[4096];
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 10) > 0) {
                    const ssize_t n = ::read(fd, buffer, sizeof buffer);
                    if (n > 0)
                        got.append(buffer, n);
                }
                return got.contains(needle);
            },
            10000);
        return got;
    }

    QTemporaryDir dir;
    RecordingUiServices ui;
    QProcess device;
    QByteArray log;
    QString path;
    int fd = -1;
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

TEST_F(DemoDeviceTest, commandsPrinterAndGatewayFramesGetTheirAnswers)
{
    openLine();
    const struct
    {
        QByteArray sent;
        QByteArray answer;
    } rows[] = {
        {"\x02HELP\x03\r\n", "\x02"
                             "Commands: HELP"},
        {"\x02read\x03", "\x02T="},
        {"\x02SET 40\x03", "ERROR the setpoint is 5.0 to 35.0"},
        {"\x02SET 23.5\x03", "SETPOINT=23.5 C"},
        {"\x02"
         "52 45 41 44\x03",
         "switch hex mode on to send them as bytes"},
        {"\x02WHAT\x03", "ERROR unknown command \"WHAT\""},
        {"\x02OD+\x03", "\x02GW ok OD+\x03"},
        {"\x02OZ+\x03", "\x02GW error unknown option: OZ+\x03"},
        {"\x02P:01.01.005\x03", "\x02GW ok P:01.01.005\x03"},
    };
    for (const auto &row : rows) {
        send(row.sent);
        EXPECT_TRUE(receiveUntil(row.answer).contains(row.answer)) << row.sent.toStdString();
    }

    // A file for the printer may hold anything, frame bytes too: exactly its
    // announced size is the file, and the frame behind it is a command again.
    const QByteArray file("\x02"
                          "READ\x03 raw \x00\xFF bytes",
                          19);
    const QByteArray header = "#T=DIR\\RAW.BIN," + QByteArray::number(file.size()) + ","
                              + QByteArray::number(ComputeCrc32(file.constData(), file.size()))
                              + "*";
    send("\x02" + header + "\x03" + file + "\x02VER\x03");
    EXPECT_TRUE(receiveUntil("firmware").contains("ORBA demo room controller"));
    QFile stored(dir.filePath(QStringLiteral("DIR/RAW.BIN")));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), file);

    send("\x02#G=DIR\\RAW.BIN*\x03");
    const QByteArray answer = receiveUntil(header + file);
    EXPECT_TRUE(answer.contains(header + file)) << answer.toStdString();
}

} // namespace
