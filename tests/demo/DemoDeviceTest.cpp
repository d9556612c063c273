// The device that scripts/demo starts, at the far end of a pseudo-terminal:
// with the demo's own settings the terminal's hotkeys get their answers, the
// auto-reply keeps it content, and a file goes to its printer and back.
#include "frame/SendingFixture.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>

namespace {

class DemoDeviceTest : public WindowTest
{
protected:
    void SetUp() override
    {
        endWithTest(device);
        device.start(ORBA_DEMO_DEVICE,
                     {"--pty", "--dir", dir.path(), "--interval-ms", "150", "--alive-every", "3"});
        ASSERT_TRUE(deviceSays("\n") && log.startsWith("pty ")) << log.toStdString();
        // The demo's settings file, pointed at this device.
        ASSERT_TRUE(writeFileBytes(
            iniPath,
            fileBytes(ORBA_DEMO_INI).replace("@DEVICE@", log.mid(4, log.indexOf('\n') - 4))));
        start(true);
    }
    void TearDown() override
    {
        frame.reset(); // the terminal lets go of the line first
        device.terminate();
        device.waitForFinished();
    }
    bool deviceSays(const QByteArray &text)
    {
        return eventually([&] { return (log += device.readAllStandardOutput()).contains(text); });
    }
    bool shows(const char *text)
    {
        return eventually([&] { return displayText().contains(text); });
    }

    QProcess device;
    QByteArray log;
};

TEST_F(DemoDeviceTest, theDemosHotKeysAreAnsweredAndAliveIsAnsweredByItself)
{
    EXPECT_TRUE(shows("T=")); // readings arrive by themselves
    frame->FireHotKey(1);     // F2: VER
    EXPECT_TRUE(shows("ORBA demo room controller"));
    frame->FireHotKey(4); // F5: LIGHT ON
    EXPECT_TRUE(shows("LIGHT=ON"));
    // Every third reading the device asks "ALIVE?"; F12 answers it unasked.
    EXPECT_TRUE(shows("ALIVE OK - thank you for answering"));
}

// With framing "none" and CRC-16/MODBUS the device is a Modbus RTU unit: it
// reads and writes its registers, and its log says when the CRC is missing.
TEST_F(DemoDeviceTest, withoutFramingTheDeviceAnswersModbusRequests)
{
    // No "ALIVE" answered meanwhile: bytes behind a request without CRC would shift it.
    frame->settings().display.autoReplyMask = 0;
    SendSettings &send = frame->settings().send;
    send.framing = false;
    send.checksum = 1;
    CTerminal &terminal = frame->terminal();
    terminal.SendHexBytes(QByteArray::fromHex("010300030002")); // setpoint and light
    EXPECT_TRUE(deviceSays("modbus > 01 03 04 00 D2 00 00 ")) << log.toStdString();
    terminal.SendHexBytes(QByteArray::fromHex("010600040001")); // light on
    EXPECT_TRUE(deviceSays("modbus > 01 06 00 04 00 01 "));
    terminal.SendHexBytes(QByteArray::fromHex("010300040002")); // beyond register 4
    EXPECT_TRUE(deviceSays("modbus > 01 83 02 "));
    send.checksum = 0;
    terminal.SendHexBytes(QByteArray::fromHex("010300000002"));
    EXPECT_TRUE(deviceSays("no valid CRC-16/MODBUS (C4 0B would be right"));
}

// The round trip the demo offers: a file to the printer and back, while
// readings keep arriving around the request and its answer.
TEST_F(DemoDeviceTest, aFileGoesToThePrinterAndComesBackWhileReadingsFlow)
{
    ModalDriver names([](QDialog *dialog) {
        dialog->findChild<QLineEdit *>("fileName")->setText("ROUND.TXT");
        dialog->accept();
    });
    QByteArray content;
    for (int i = 0; i < 2000; ++i)
        content += "line " + QByteArray::number(i) + ", with * and \x02\x03 in it\r\n";
    const QString back = dir.filePath("back.txt");
    ui.files = {dir.filePath("source.txt"), back};
    ASSERT_TRUE(writeFileBytes(ui.files.front(), content));
    frame->SendFile(true);
    ASSERT_TRUE(deviceSays("stored ROUND.TXT")) << log.toStdString();
    EXPECT_TRUE(log.contains("CRC") && !log.contains("mismatch")) << log.toStdString();

    frame->OnReceivePrinterFile();
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }, 20000));
    EXPECT_EQ(ui.messages.back().text,
              "File [" + QDir::toNativeSeparators(back) + "] has been received successfully!");
    EXPECT_TRUE(fileBytes(back) == content);
}

} // namespace
