// The main window with its real ports: the USB link end to end, the port
// settings command, and the reason shown when a link cannot be opened.
#include "SendingFixture.h"

#include "dialogs/PortSettingsDlg.h"
#include "frame/CommandIds.h"
#include "input/InputEdit.h"
#include "support/Pty.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

namespace {

class PortLinkTest : public ::testing::Test
{
protected:
    PortLinkTest() { iniPath = dir.filePath(QStringLiteral("o.ini")); }
    ~PortLinkTest() override { frame.reset(); }

    void ini(const char *section, const char *key, const QString &value)
    {
        profile::writeString(QLatin1String(section), QLatin1String(key), value, iniPath);
    }
    void create()
    {
        frame = std::make_unique<CMainFrame>(iniPath);
        frame->show();
        frame->settings().localEcho = false;
    }
    QByteArray displayText() const { return frame->view()->widget()->buffer().text(); }
    QString portPane() const
    {
        return frame->findChild<QLabel *>(QStringLiteral("panePort"))->text();
    }

    QTemporaryDir dir;
    QString iniPath;
    RecordingUiServices ui;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(PortLinkTest, aUsbLinkSendsFramedTextShowsWhatArrivesAndAnswersATrigger)
{
    PtyPair printer;
    ASSERT_TRUE(printer.isValid());
    ini("Com", "UseSerial", QStringLiteral("2"));
    ini("Usb", "DeviceName", printer.devicePath());
    ini("HotKeys", "HotKeyText0", QStringLiteral("PONG"));
    ini("HotKeys", "HotKeyReceiveText0", QStringLiteral("PING"));
    ini("HotKeys", "AutoReply", QStringLiteral("1"));
    create();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    EXPECT_TRUE(ui.messages.empty());

    frame->textInput()->setPlainText(QStringLiteral("hello"));
    frame->SendInputText(true);
    EXPECT_EQ(printer.read(9), QByteArray("\x02hello\x03\r\n"));

    ASSERT_TRUE(printer.write("status PING"));
    EXPECT_TRUE(eventually([&] { return displayText() == "status PING"; }));
    EXPECT_EQ(printer.read(6), QByteArray("\x02PONG\x03"));

    // The printer goes away: the terminal stays calm and stops at once.
    printer.closeMaster();
    frame->OnTerminalStop();
    EXPECT_FALSE(frame->isRunning());
    EXPECT_FALSE(frame->currentPort()->IsOpen());
}

TEST_F(PortLinkTest, aFailedOpenTellsWhyOnASecondLine)
{
    PtyPair line;
    ASSERT_TRUE(line.isValid());
    const struct
    {
        const char *name;
        const char *kind;
        const char *section;
        const char *key;
        QString value;
        QString reason;
    } rows[] = {
        {"serial device missing", "1", "Com", "Device", QStringLiteral("/dev/ttyUSB98"),
         QStringLiteral("No such device: /dev/ttyUSB98 is not plugged in.")},
        {"USB printer missing", "2", "Usb", "DeviceName", QStringLiteral("/dev/usb/lp98"),
         QStringLiteral("No such device: /dev/usb/lp98 is not plugged in.")},
        {"no USB printer chosen", "2", "Usb", "DeviceName", QStringLiteral("\\\\?\\usb"),
         QStringLiteral("No USB device is chosen: pick one in the port settings.")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(iniPath);
        ini("Com", "UseSerial", QLatin1String(row.kind));
        ini(row.section, row.key, row.value);
        create();
        ui.messages.clear();
        frame->OnTerminalStart();
        EXPECT_FALSE(frame->isRunning());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  QStringLiteral("Failure opening the serial port!\n") + row.reason);
    }

    // Start while running: the message says so, and the run goes on.
    QFile::remove(iniPath);
    ini("Com", "Device", line.devicePath());
    create();
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    ui.messages.clear();
    frame->OnTerminalStart();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Failure opening the serial port!\n"
                                                  "The terminal is running already."));
    EXPECT_TRUE(frame->isRunning());
}

TEST_F(PortLinkTest, thePortSettingsCommandOpensTheDialogOnlyWhileStopped)
{
    PtyPair line;
    ASSERT_TRUE(line.isValid());
    create();
    QAction *command = frame->action(CommandId::PortSettings);
    ASSERT_TRUE(command->isEnabled());
    ModalDriver driver([&](QDialog *d) {
        // The user types the device's path and confirms.
        d->findChild<QComboBox *>(QStringLiteral("comPortList"))->setCurrentText(line.devicePath());
        d->findChild<QComboBox *>(QStringLiteral("baudEdit"))
            ->setCurrentText(QStringLiteral("9600"));
        d->accept();
    });
    command->trigger();
    EXPECT_EQ(driver.opened, QStringList({"CPortSettingsDlg"}));
    EXPECT_TRUE(portPane().startsWith(QFileInfo(line.devicePath()).fileName() + u','))
        << portPane().toStdString();
    EXPECT_EQ(profile::getString(QStringLiteral("Com"), QStringLiteral("Device"), {}, 254, iniPath),
              line.devicePath());

    // The new settings are used by the next Start.
    frame->OnTerminalStart();
    ASSERT_TRUE(frame->isRunning());
    EXPECT_FALSE(command->isEnabled());
    frame->textInput()->setPlainText(QStringLiteral("hi"));
    frame->SendInputText(false);
    EXPECT_EQ(line.read(4), QByteArray("\x02hi\x03"));
}

} // namespace
