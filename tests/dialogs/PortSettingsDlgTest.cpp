#include "dialogs/PortSettingsDlg.h"
#include "dialogs/PortSettingsForm.h"
#include "platform/ProfileFile.h"
#include "support/ChildWidget.h"
#include "support/EventLoopWait.h"
#include "support/FakeDeviceTree.h"
#include "support/RecordingUiServices.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kPlaceholder = QStringLiteral("\\\\?\\usb");
const QString kById = QStringLiteral("usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0");

class PortSettingsDlgTest : public ::testing::Test
{
protected:
    PortSettingsDlgTest()
    {
        iniPath = dir.filePath(QStringLiteral("o.ini"));
        tree.addSerialAdapter(QStringLiteral("ttyUSB0"), QStringLiteral("1-2"),
                              QStringLiteral("FT232R USB UART"), kById);
        tree.addUsbPrinter(0, QStringLiteral("1-4:1.0"), QStringLiteral("Zebra"),
                           QStringLiteral("GK420d"), QStringLiteral("29J1"));
        settings.address = QStringLiteral("192.168.0.1");
        settings.portNumber = 9100;
        settings.socketType = 1;
        settings.usbDevicePath = kPlaceholder;
    }

    std::unique_ptr<CPortSettingsDlg> open()
    {
        auto d = std::make_unique<CPortSettingsDlg>(settings, iniPath, nullptr, tree.roots());
        d->show();
        return d;
    }
    static QStringList items(QComboBox *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    }
    QByteArray iniBytes() const
    {
        QFile f(iniPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QString ini(const char *section, const char *key) const
    {
        return profile::getString(QLatin1String(section), QLatin1String(key),
                                  QStringLiteral("<missing>"), 300, iniPath);
    }

    QTemporaryDir dir;
    QString iniPath;
    FakeDeviceTree tree;
    TerminalSettings settings;
    RecordingUiServices ui;
};

TEST_F(PortSettingsDlgTest, eachLinkKindShowsItsGroupAndTheRadioButtonsSwitchThem)
{
    const struct
    {
        int portKind;
        const char *radio;
        const char *shown;
    } rows[] = {{1, "serialRadio", "comPortList"},
                {2, "usbRadio", "usbDeviceList"},
                {0, "networkRadio", "addressEdit"},
                {7, "networkRadio", "addressEdit"}};
    const char *groups[] = {"comPortList", "baudEdit", "parityList",   "protocolList",
                            "addressEdit", "udpCheck", "usbDeviceList"};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.portKind);
        settings.portKind = row.portKind;
        auto d = open();
        EXPECT_TRUE(child<QRadioButton>(d.get(), row.radio)->isChecked());
        const auto shownGroup = [](const char *name) {
            const QByteArray n(name);
            return n == "addressEdit" || n == "udpCheck" ? "addressEdit"
                   : n == "usbDeviceList"                ? "usbDeviceList"
                                                         : "comPortList";
        };
        for (const char *name : groups)
            EXPECT_EQ(child<QWidget>(d.get(), name)->isVisible(),
                      QByteArray(shownGroup(name)) == row.shown)
                << name;
        for (const char *name : {"limitCheck", "limitEdit", "logCheck", "logFileEdit"})
            EXPECT_TRUE(child<QWidget>(d.get(), name)->isVisible()) << name;
    }
    auto d = open();
    child<QRadioButton>(d.get(), "usbRadio")->click();
    EXPECT_TRUE(child<QWidget>(d.get(), "usbDeviceList")->isVisible());
    EXPECT_FALSE(child<QWidget>(d.get(), "comPortList")->isVisible());
    child<QRadioButton>(d.get(), "serialRadio")->click();
    EXPECT_TRUE(child<QWidget>(d.get(), "comPortList")->isVisible());
    EXPECT_FALSE(child<QWidget>(d.get(), "usbDeviceList")->isVisible());
}

TEST_F(PortSettingsDlgTest, opensWithTheSettingsInEachControl)
{
    settings.comPort = 3;
    settings.baud = 57600;
    settings.parity = 2;
    settings.protocol = 4;
    settings.socketType = 2;
    settings.display.displayLimitOn = true;
    settings.display.displayLimit = 5 * 1024 + 1023; // shown rounded towards zero
    settings.display.loggingOn = true;
    settings.display.logFilePath = QStringLiteral("/tmp/run.log");
    auto d = open();
    auto *com = child<QComboBox>(d.get(), "comPortList");
    EXPECT_EQ(items(com),
              QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
                           kById + QStringLiteral(" (ttyUSB0, FT232R USB UART)")}));
    EXPECT_EQ(com->currentText(), "COM3");
    EXPECT_EQ(child<QComboBox>(d.get(), "baudEdit")->currentText(), "57600");
    EXPECT_EQ(child<QComboBox>(d.get(), "parityList")->currentText(), "O (odd)");
    EXPECT_EQ(child<QComboBox>(d.get(), "protocolList")->currentText(), "Hardware (DTR/DTS)");
    EXPECT_EQ(child<QLineEdit>(d.get(), "dataBitsEdit")->text(), "8");
    EXPECT_EQ(child<QLineEdit>(d.get(), "addressEdit")->text(), "192.168.0.1");
    EXPECT_EQ(child<QLineEdit>(d.get(), "portNumberEdit")->text(), "9100");
    EXPECT_TRUE(child<QCheckBox>(d.get(), "udpCheck")->isChecked());
    EXPECT_EQ(items(child<QComboBox>(d.get(), "usbDeviceList")),
              QStringList({"---", "USB 1-4: Zebra GK420d [29J1]"}));
    EXPECT_EQ(child<QComboBox>(d.get(), "usbDeviceList")->currentText(), "---");
    EXPECT_TRUE(child<QCheckBox>(d.get(), "limitCheck")->isChecked());
    EXPECT_EQ(child<QLineEdit>(d.get(), "limitEdit")->text(), "5");
    EXPECT_TRUE(child<QCheckBox>(d.get(), "logCheck")->isChecked());
    EXPECT_EQ(child<QLineEdit>(d.get(), "logFileEdit")->text(), "/tmp/run.log");
}

TEST_F(PortSettingsDlgTest, okWritesEveryKeyInItsOrderAndForm)
{
    auto d = open();
    child<QRadioButton>(d.get(), "usbRadio")->click();
    child<QComboBox>(d.get(), "usbDeviceList")->setCurrentIndex(1);
    child<QLineEdit>(d.get(), "addressEdit")->clear();
    child<QLineEdit>(d.get(), "portNumberEdit")->setText("10001");
    child<QComboBox>(d.get(), "comPortList")->setCurrentText("COM3");
    child<QComboBox>(d.get(), "baudEdit")->setCurrentText("250000");
    child<QLineEdit>(d.get(), "dataBitsEdit")->setText("7");
    child<QLineEdit>(d.get(), "stopBitsEdit")->setText("2");
    child<QComboBox>(d.get(), "parityList")->setCurrentIndex(1);
    child<QComboBox>(d.get(), "protocolList")->setCurrentIndex(0);
    child<QCheckBox>(d.get(), "limitCheck")->setChecked(true);
    child<QLineEdit>(d.get(), "limitEdit")->setText("-5");
    child<QLineEdit>(d.get(), "logFileEdit")->setText("/tmp/a b.log");
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);

    EXPECT_EQ(iniBytes(), QByteArray("[Com]\nUseSerial=2\nPort=3\nDevice=\nBaud=250000\n"
                                     "DataBits=7\nStopBits=2\nParity=1\nProtocol=0\n"
                                     "[Usb]\nDeviceName=usb:1-4:1.0\n"
                                     "[Net]\nIPAdr=\nPortNum=10001\nSocketType=1\n"
                                     "[Display]\nUseLimit=1\nLimit=0\nUseLogging=0\n"
                                     "Logfile=/tmp/a b.log\n"));
    EXPECT_EQ(settings.portKind, 2);
    EXPECT_EQ(settings.usbDevicePath, "usb:1-4:1.0");
    EXPECT_EQ(settings.address, "");
    EXPECT_EQ(settings.portNumber, 10001);
    EXPECT_EQ(settings.comPort, 3);
    EXPECT_EQ(settings.baud, 250000);
    EXPECT_EQ(settings.parity, 1);
    EXPECT_TRUE(settings.display.displayLimitOn);
    EXPECT_EQ(settings.display.displayLimit, 0);
    EXPECT_EQ(settings.display.logFilePath, "/tmp/a b.log");
}

TEST_F(PortSettingsDlgTest, theComPortListStoresACOMNumberOrADevicePath)
{
    const QString adapter = kById + QStringLiteral(" (ttyUSB0, FT232R USB UART)");
    const QString byIdPath = tree.devPath(QStringLiteral("serial/by-id/")) + kById;
    const struct
    {
        const char *name;
        QString storedDevice;
        QString shown; // the list's text on opening
        QString chosen;
        QString port, device;
    } rows[] = {
        {"COM entry clears the device", byIdPath, adapter, QStringLiteral("COM3"), "3", ""},
        {"by-id entry", QString(), QStringLiteral("COM2"), adapter, "2", byIdPath},
        {"typed path", QString(), QStringLiteral("COM2"), QStringLiteral(" /tmp/ttyV0 "), "2",
         QStringLiteral("/tmp/ttyV0")},
        {"typed COM number", QString(), QStringLiteral("COM2"), QStringLiteral("com12"), "12", ""},
        {"absent device is kept", QStringLiteral("/dev/serial/by-id/usb-gone"),
         QStringLiteral("/dev/serial/by-id/usb-gone (absent)"), QString(), "2",
         QStringLiteral("/dev/serial/by-id/usb-gone")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(iniPath);
        settings.comPort = 2;
        settings.comDevice = row.storedDevice;
        auto d = open();
        auto *list = child<QComboBox>(d.get(), "comPortList");
        EXPECT_EQ(list->currentText(), row.shown);
        if (!row.chosen.isNull())
            list->setCurrentText(row.chosen);
        d->accept();
        EXPECT_EQ(ini("Com", "Port"), row.port);
        EXPECT_EQ(ini("Com", "Device"), row.device);
        EXPECT_EQ(settings.comDevice, row.device);
    }
}

TEST_F(PortSettingsDlgTest, theUsbListStoresThePathOfThePrinterPresentAtOk)
{
    const QString zebra = QStringLiteral("USB 1-4: Zebra GK420d [29J1]");
    const struct
    {
        const char *name;
        QString stored;
        QString shown;
        bool unplugBeforeOk;
        QString result;
    } rows[] = {
        {"present printer", QStringLiteral("usb:1-4:1.0"), zebra, false,
         QStringLiteral("usb:1-4:1.0")},
        {"unplugged before OK", QStringLiteral("usb:1-4:1.0"), zebra, true, kPlaceholder},
        {"nothing chosen", kPlaceholder, QStringLiteral("---"), false, kPlaceholder},
        {"stored printer absent", QStringLiteral("usb:3-1:1.0"),
         QStringLiteral("usb:3-1:1.0 (absent)"), false, QStringLiteral("usb:3-1:1.0")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        tree.addUsbPrinter(0, QStringLiteral("1-4:1.0"), QStringLiteral("Zebra"),
                           QStringLiteral("GK420d"), QStringLiteral("29J1"));
        settings.portKind = 2;
        settings.usbDevicePath = row.stored;
        auto d = open();
        EXPECT_EQ(child<QComboBox>(d.get(), "usbDeviceList")->currentText(), row.shown);
        if (row.unplugBeforeOk)
            tree.removeUsbPrinter(0);
        d->accept();
        EXPECT_EQ(ini("Usb", "DeviceName"), row.result);
        EXPECT_EQ(settings.usbDevicePath, row.result);
    }
}

TEST_F(PortSettingsDlgTest, cancelChangesNothing)
{
    const TerminalSettings before = settings;
    auto d = open();
    child<QRadioButton>(d.get(), "networkRadio")->click();
    child<QComboBox>(d.get(), "comPortList")->setCurrentText("COM5");
    child<QLineEdit>(d.get(), "addressEdit")->setText("10.0.0.9");
    child<QCheckBox>(d.get(), "logCheck")->setChecked(true);
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(iniBytes(), "<none>");
    EXPECT_EQ(settings.portKind, before.portKind);
    EXPECT_EQ(settings.comPort, before.comPort);
    EXPECT_EQ(settings.address, before.address);
    EXPECT_EQ(settings.display.loggingOn, before.display.loggingOn);
}

TEST_F(PortSettingsDlgTest, refreshPicksUpDevicesPluggedInWhileOpenAndKeepsTheChoice)
{
    auto d = open();
    auto *com = child<QComboBox>(d.get(), "comPortList");
    auto *usb = child<QComboBox>(d.get(), "usbDeviceList");
    com->setCurrentText(QStringLiteral("/tmp/ttyTyped"));
    usb->setCurrentIndex(1);
    EXPECT_EQ(com->count(), 9);

    tree.addSerialAdapter(QStringLiteral("ttyACM0"), QStringLiteral("1-3"),
                          QStringLiteral("Arduino Uno"));
    tree.addUsbPrinter(1, QStringLiteral("1-1:1.0"), QStringLiteral("r+k"),
                       QStringLiteral("Printer"), QString());
    child<QPushButton>(d.get(), "refreshSerialButton")->click();

    EXPECT_TRUE(items(com).contains(tree.devPath(QStringLiteral("ttyACM0"))
                                    + QStringLiteral(" (Arduino Uno)")));
    EXPECT_EQ(com->currentText(), QStringLiteral("/tmp/ttyTyped (absent)"));
    EXPECT_EQ(items(usb),
              QStringList({"---", "USB 1-4: Zebra GK420d [29J1]", "USB 1-1: r+k Printer"}));
    EXPECT_EQ(usb->currentText(), "USB 1-4: Zebra GK420d [29J1]");

    // Without Refresh: the dialog watches /dev.
    tree.addSerialAdapter(QStringLiteral("ttyUSB1"), QStringLiteral("1-5"), QString());
    EXPECT_TRUE(eventually([&] { return com->count() == 12; }));
    EXPECT_EQ(com->currentText(), QStringLiteral("/tmp/ttyTyped (absent)"));
    d->accept();
    EXPECT_EQ(ini("Com", "Device"), "/tmp/ttyTyped");
    EXPECT_EQ(ini("Usb", "DeviceName"), "usb:1-4:1.0");
}

TEST_F(PortSettingsDlgTest, theLogFileButtonOffersAFileDialog)
{
    settings.display.logFilePath = QStringLiteral("/var/log/old.log");
    auto d = open();
    ui.files.push_back(QStringLiteral("/tmp/new.log"));
    child<QAbstractButton>(d.get(), "logFileButton")->click();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].directory, "/var/log");
    EXPECT_EQ(ui.fileDialogs[0].proposedName, "old.log");
    EXPECT_FALSE(ui.fileDialogs[0].confirmOverwrite);
    EXPECT_EQ(child<QLineEdit>(d.get(), "logFileEdit")->text(), "/tmp/new.log");

    // Cancelled: the path stays.
    child<QAbstractButton>(d.get(), "logFileButton")->click();
    EXPECT_EQ(child<QLineEdit>(d.get(), "logFileEdit")->text(), "/tmp/new.log");
}

TEST_F(PortSettingsDlgTest, numberFieldsTakeDigitsOnly)
{
    auto d = open();
    for (const char *name : {"dataBitsEdit", "stopBitsEdit", "portNumberEdit", "limitEdit"}) {
        auto *edit = child<QLineEdit>(d.get(), name);
        edit->clear();
        QTest::keyClicks(edit, "1a-2 3");
        EXPECT_EQ(edit->text(), "123") << name;
    }
    auto *baud = child<QComboBox>(d.get(), "baudEdit");
    EXPECT_TRUE(child<QComboBox>(d.get(), "baudEdit")->isEditable());
    EXPECT_TRUE(CPortSettingsForm::baudRates().contains("115200"));
    baud->lineEdit()->clear();
    QTest::keyClicks(baud->lineEdit(), "31x250");
    EXPECT_EQ(baud->currentText(), "31250");
}

} // namespace
