// The settings dialogs: what they show, what OK writes to the INI and the settings, Cancel nothing.
#include "dialogs/CharMapDlg.h"
#include "dialogs/HotKeyDlg.h"
#include "dialogs/PortSettingsDlg.h"
#include "dialogs/PrinterFileNameDlg.h"
#include "dialogs/SendOptionsDlg.h"
#include "platform/ProfileFile.h"
#include "support/ChildWidget.h"
#include "support/EventLoopWait.h"
#include "support/FakeDeviceTree.h"
#include "support/FileBytes.h"
#include "support/RecordingUiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <optional>

namespace {

// The named controls' user properties (text, value; 1 or 0 when checked), '|'-separated.
QString state(const QWidget *d, const QStringList &names)
{
    QStringList out;
    for (const QString &name : names) {
        const QObject *o = child<QObject>(d, qPrintable(name));
        const QVariant v = o ? o->metaObject()->userProperty().read(o) : QVariant();
        out << (v.typeId() == QMetaType::Bool ? QString::number(v.toBool()) : v.toString());
    }
    return out.join(u'|');
}
// Sets the named controls from the same form.
void fill(QWidget *d, const QStringList &names, const QString &values)
{
    const QStringList v = values.split(u'|');
    for (qsizetype i = 0; i < names.size(); ++i)
        if (QObject *o = child<QObject>(d, qPrintable(names[i])))
            o->metaObject()->userProperty().write(o, v.value(i));
}
QStringList items(const QComboBox *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

class DialogTest : public ::testing::Test
{
protected:
    QString ini(const char *section, const QString &key) const
    {
        return profile::getString(section, key, "<missing>", 4096, iniPath);
    }

    template<typename D, typename... Args>
    static std::unique_ptr<D> shown(Args &&...args)
    {
        auto d = std::make_unique<D>(std::forward<Args>(args)...);
        d->show();
        return d;
    }

    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("o.ini"));
    RecordingUiServices ui;
};

const QString kPlaceholder = QStringLiteral("\\\\?\\usb");
const QString kById = QStringLiteral("usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0");
const QString kAdapter = kById + QStringLiteral(" (ttyUSB0, FT232R USB UART)");
const QString kZebra = QStringLiteral("USB 1-4: Zebra GK420d [29J1]");

class PortSettingsDlgTest : public DialogTest
{
protected:
    PortSettingsDlgTest()
    {
        tree.addSerialAdapter("ttyUSB0", "1-2", "FT232R USB UART", kById);
        tree.addUsbPrinter(0, "1-4:1.0", "Zebra", "GK420d", "29J1");
        std::tie(settings.address, settings.portNumber, settings.socketType, settings.usbDevicePath)
            = std::tuple{QStringLiteral("192.168.0.1"), 9100, 1, kPlaceholder};
    }
    auto open() { return shown<CPortSettingsDlg>(settings, iniPath, nullptr, tree.roots()); }

    FakeDeviceTree tree;
    TerminalSettings settings;
    const QStringList kControls
        = {"comPortList",  "baudEdit",    "parityList",     "protocolList", "dataBitsEdit",
           "stopBitsEdit", "addressEdit", "portNumberEdit", "udpCheck",     "usbDeviceList",
           "limitCheck",   "limitEdit",   "logCheck",       "logFileEdit",  "serialRadio",
           "networkRadio", "usbRadio"};
};

TEST_F(PortSettingsDlgTest, opensWithTheSettingsCancelWritesNothingAndOkEveryKeyInItsForm)
{
    // Kind 7 is, as any other unknown one, the network; the limit is shown rounded towards zero.
    std::tie(settings.portKind, settings.comPort, settings.baud, settings.parity, settings.protocol,
             settings.socketType)
        = std::tuple{7, 3, 57600, 2, 4, 2};
    settings.display.displayLimitOn = true;
    settings.display.displayLimit = 5 * 1024 + 1023;
    settings.display.loggingOn = true;
    settings.display.logFilePath = QStringLiteral("/tmp/run.log");
    const QString opened = "COM3|57600|O (odd)|Hardware (DTR/DTS)|8|1|192.168.0.1|9100|1|---|1|5|"
                           "1|/tmp/run.log|0|1|0";
    const QString typed
        = "COM3|250000|E (even)|None|7|2||10001|0|" + kZebra + "|1|-5|0|/tmp/a b.log|0|0|1";
    auto d = open();
    EXPECT_EQ(
        items(child<QComboBox>(d.get(), "comPortList")),
        QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", kAdapter}));
    EXPECT_EQ(state(d.get(), kControls), opened);
    fill(d.get(), kControls, typed);
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_FALSE(QFile::exists(iniPath));

    d = open();
    EXPECT_EQ(state(d.get(), kControls), opened);
    fill(d.get(), kControls, typed);
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(fileBytes(iniPath), "[Com]\nUseSerial=2\nPort=3\nDevice=\nBaud=250000\n"
                                  "DataBits=7\nStopBits=2\nParity=1\nProtocol=0\n"
                                  "[Usb]\nDeviceName=usb:1-4:1.0\n"
                                  "[Net]\nIPAdr=\nPortNum=10001\nSocketType=1\n"
                                  "[Display]\nUseLimit=1\nLimit=0\nUseLogging=0\n"
                                  "Logfile=/tmp/a b.log\n");
    // The terminal takes the same values: the dialog shows them when opened again.
    EXPECT_EQ(state(open().get(), kControls), QString(typed).replace("|-5|", "|0|"));
}

TEST_F(PortSettingsDlgTest, theDeviceListsStoreACOMNumberADevicePathOrTheUsbPrinterPresentAtOk)
{
    const QString byIdPath = tree.devPath(QStringLiteral("serial/by-id/")) + kById;
    const QString gone = QStringLiteral("/dev/serial/by-id/usb-gone");
    // Stored device, shown, chosen (null for none) → [Com] Port|Device; opened as serial.
    const std::array<QString, 4> serial[] = {
        {byIdPath, kAdapter, "COM3", "3|"}, // a COM entry clears the device
        {"", "COM2", kAdapter, "2|" + byIdPath},
        {"", "COM2", " /tmp/ttyV0 ", "2|/tmp/ttyV0"},
        {"", "COM2", "com12", "12|"},
        {gone, gone + " (absent)", QString(), "2|" + gone},                 // an absent one is kept
        {gone, gone + " (absent)", gone + " (absent)x", "2|" + gone + "x"}, // mark typed on
    };
    for (const auto &[stored, shown, chosen, result] : serial) {
        SCOPED_TRACE(chosen.toStdString());
        settings.comPort = 2;
        settings.comDevice = stored;
        auto d = open();
        auto *list = child<QComboBox>(d.get(), "comPortList");
        EXPECT_EQ(list->currentText(), shown);
        if (!chosen.isNull())
            list->setCurrentText(chosen);
        d->accept();
        EXPECT_EQ(ini("Com", "Port") + u'|' + ini("Com", "Device") + u'|' + ini("Com", "UseSerial"),
                  result + "|1");
        EXPECT_EQ(settings.comDevice, result.section(u'|', 1));
    }
    // Stored, shown (of how many entries), unplugged before OK → [Usb] DeviceName.
    // The Zebra has a second printer interface: each entry keeps its own.
    tree.addUsbPrinter(1, "1-4:1.1", "Zebra", "GK420d", "29J1");
    const std::tuple<QString, QString, int, bool, QString> usb[] = {
        {"usb:1-4:1.1", kZebra + " (interface 1)", 3, false, "usb:1-4:1.1"},
        {"usb:1-4:1.0", kZebra + " (interface 0)", 3, true, kPlaceholder},
        {"", "---", 2, false, kPlaceholder},
        {"usb:3-1:1.0", "usb:3-1:1.0 (absent)", 3, false, "usb:3-1:1.0"},
    };
    for (const auto &[stored, shown, entries, unplug, result] : usb) {
        SCOPED_TRACE(stored.toStdString());
        settings.portKind = 2;
        settings.usbDevicePath = stored;
        auto d = open();
        const auto *list = child<QComboBox>(d.get(), "usbDeviceList");
        EXPECT_EQ(list->currentText() + u'/' + QString::number(list->count()),
                  shown + u'/' + QString::number(entries));
        if (unplug)
            tree.removeUsbPrinter(0);
        d->accept();
        EXPECT_EQ(ini("Com", "UseSerial") + u'|' + ini("Usb", "DeviceName"), "2|" + result);
        EXPECT_EQ(settings.usbDevicePath, result);
    }
}

TEST_F(PortSettingsDlgTest, devicesPluggedInWhileOpenAppearAndTheLogFileIsChosen)
{
    settings.display.logFilePath = QStringLiteral("/var/log/old.log");
    auto d = open();
    auto *com = child<QComboBox>(d.get(), "comPortList");
    auto *usb = child<QComboBox>(d.get(), "usbDeviceList");
    // A path being typed, the cursor in its middle: lists read meanwhile leave it be.
    QLineEdit *typing = com->lineEdit();
    typing->setText(QStringLiteral("/tmp/ttyyped"));
    typing->setCursorPosition(8);
    usb->setCurrentIndex(1);
    tree.addSerialAdapter("ttyACM0", "1-3", "Arduino Uno");
    tree.addUsbPrinter(1, "1-1:1.0", "r+k", "Printer", QString());
    child<QPushButton>(d.get(), "refreshSerialButton")->click();
    EXPECT_TRUE(items(com).contains(tree.devPath("ttyACM0") + " (Arduino Uno)"));
    EXPECT_EQ(items(usb), QStringList({"---", kZebra, "USB 1-1: r+k Printer"}));
    // Without Refresh: the dialog watches /dev.
    tree.addSerialAdapter("ttyUSB1", "1-5", QString());
    EXPECT_TRUE(eventually([&] { return com->count() == 11; }));
    QTest::keyClicks(typing, QStringLiteral("T"));
    EXPECT_EQ(com->currentText(), QStringLiteral("/tmp/ttyTyped"));

    // The log file button offers a file dialog; appending to a log needs no warning.
    ui.files.push_back(QStringLiteral("/tmp/new.log"));
    child<QAbstractButton>(d.get(), "logFileButton")->click();
    const UiServices::FileDialog f = ui.fileDialogs.at(0);
    EXPECT_EQ(f.directory + u'|' + f.proposedName + u'|' + QString::number(f.confirmOverwrite)
                  + u'|' + child<QLineEdit>(d.get(), "logFileEdit")->text(),
              "/var/log|old.log|0|/tmp/new.log");
    child<QRadioButton>(d.get(), "networkRadio")->click();
    d->accept();
    EXPECT_EQ(ini("Com", "UseSerial") + u'|' + ini("Com", "Device") + u'|'
                  + ini("Usb", "DeviceName"),
              "0|/tmp/ttyTyped|usb:1-4:1.0");
}

using CharMapDlgTest = DialogTest;

TEST_F(CharMapDlgTest, editsWorkOnACopyThatCancelDropsAndOkWritesWithEveryKey)
{
    CharMapTable table;
    table.setText(0x0D, "<CR>");
    table.setText(0x41, "letter A");
    const CharMapTable tableBefore = table;
    bool mappingOn = false;
    auto d = shown<CCharMapDlg>(table, mappingOn, iniPath);
    fill(d.get(), {"codeEdit", "textEdit", "activeCheck"}, "1b|ESC|1");
    child<QPushButton>(d.get(), "addButton")->click();
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_TRUE(table == tableBefore && !mappingOn && !QFile::exists(iniPath));

    // As typed: the same code replaces, no code is 0, 30 characters kept, an empty text clears,
    // parsing stops at a non-digit, a non-code beeps.
    d = shown<CCharMapDlg>(table, mappingOn, iniPath);
    for (const QString &typed :
         {QStringLiteral("1b|ESC"), QStringLiteral("1B|Esc"), QStringLiteral("| \u00C4 "),
          " 7|" + QString(31, u'x'), QStringLiteral("41|"), QStringLiteral("fg|\u00C4\u0436"),
          QStringLiteral("-1|minus")}) {
        fill(d.get(), {"codeEdit", "textEdit"}, typed);
        child<QPushButton>(d.get(), "addButton")->click();
    }
    child<QCheckBox>(d.get(), "activeCheck")->setChecked(true);
    EXPECT_EQ(ui.beeps, 1);
    // Remove clears the code selected in the list (sorted by code); without a selection, nothing.
    auto *list = child<QTreeWidget>(d.get(), "list");
    list->setCurrentItem(list->topLevelItem(4));
    EXPECT_EQ(state(d.get(), {"codeEdit", "textEdit"}), "1B|Esc");
    child<QPushButton>(d.get(), "removeButton")->click();
    list->setCurrentItem(list->topLevelItem(0));
    list->clearSelection();
    child<QPushButton>(d.get(), "removeButton")->click();
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_TRUE(mappingOn && ini("CharTexts", "Active") == "1");
    const QMap<int, QString> kept{
        {0, " \u00C4 "}, {7, QString(30, u'x')}, {0x0D, "<CR>"}, {0x0F, "\u00C4?"}};
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(ini("CharTexts", QString::number(code)), kept.value(code)) << code;
        EXPECT_EQ(table.text(code), kept.value(code).toLatin1()) << code;
    }
}

TEST(CharMapDlg, codeTextsAreReadAsHex)
{
    const std::optional<int> none;
    const std::pair<const char *, std::optional<int>> codes[]
        = {{"", 0},   {"  ", 0},   {" 09", 9},    {"aF", 175},     {"Af", 175}, {"fF", 255},
           {"1g", 1}, {"g", none}, {"100", none}, {"\u0661", none}}; // an Arabic 1 last
    for (const auto &[text, code] : codes)
        EXPECT_EQ(CCharMapDlg::parseCode(QString::fromUtf8(text)), code) << text;
}

using HotKeyDlgTest = DialogTest;

TEST_F(HotKeyDlgTest, opensWithTheFileAndTheTerminalsTriggersOkWritesEveryRowCancelNothing)
{
    std::array<QString, 12> receiveTexts;
    std::uint32_t mask = 0x4 | 0x800;
    // The controls of the row of F1 + i, and its INI keys: text, CR LF, hex, receive text.
    const auto row = [](int i) {
        QStringList names;
        for (const char *name : {"hotKeyText", "crlf", "hex", "receiveOn", "receiveText"})
            names << QLatin1String(name) + QString::number(i);
        return names;
    };
    const auto keys = [&](int i) {
        QStringList out;
        for (const char *key : {"HotKeyText", "HotKeyCRLF", "HotKeyHex", "HotKeyReceiveText"})
            out << ini("HotKeys", QLatin1String(key) + QString::number(i));
        return out.join(u'|');
    };
    const QString longText(3000, u'T');
    const QByteArray file = "[HotKeys]\nHotKeyText0=ATZ\nHotKeyText3=" + longText.toLatin1()
                            + "\nHotKeyCRLF0=1\nHotKeyHex5=7\nHotKeyReceiveText2=from the file\n";
    ASSERT_TRUE(writeFileBytes(iniPath, file));
    receiveTexts[2] = "from memory";
    receiveTexts[4] = "off but kept";
    auto d = shown<CHotKeyDlg>(iniPath, receiveTexts, mask);
    fill(d.get(), row(0), "new|0|1|0|changed"); // Cancel changes nothing
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_TRUE(mask == 0x804u && fileBytes(iniPath) == file);
    // Texts and flags come from the file, triggers and receive texts from the terminal.
    d = shown<CHotKeyDlg>(iniPath, receiveTexts, mask);
    const QStringList opened
        = {"ATZ|1|0|0|",          "|0|0|0|", "|0|0|1|from memory", longText.left(2046) + "|0|0|0|",
           "|0|0|0|off but kept", "|0|1|0|"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(state(d.get(), row(i)), opened[i]) << i;
    EXPECT_EQ(state(d.get(), row(11)), "|0|0|1|");

    // OK: rows to the file, triggers to the mask; a receive text stays while its trigger is off.
    const QString longer(300, u'L');
    const auto written = [&](int i) { // text, CR LF, hex
        return (i == 1 ? longer : QString()) + u'|' + QString::number(i == 1) + u'|'
               + QString::number(i == 9) + u'|';
    };
    for (int i = 0; i < 12; ++i)
        fill(d.get(), row(i),
             written(i) + QString::number(i == 2) + u'|' + (i == 2 ? "ping" : receiveTexts[i]));
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(QString::number(mask) + u'|' + ini("HotKeys", "AutoReply") + u'|' + receiveTexts[2]
                  + u'|' + receiveTexts[4],
              "4|4|ping|off but kept");
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(keys(i), written(i) + receiveTexts[i]);
}

// Unframed, hex and its receive text need whole pairs: else OK beeps, marks, writes nothing.
TEST_F(HotKeyDlgTest, withoutFramingHexThatIsNotWholePairsIsRefused)
{
    std::array<QString, 12> receiveTexts;
    std::uint32_t mask = 0;
    auto d = shown<CHotKeyDlg>(iniPath, receiveTexts, mask, false);
    const QStringList row1 = {"hotKeyText1", "hex1", "receiveOn1", "receiveText1"};
    fill(d.get(), {"hotKeyText0", "hex0", "hotKeyText2", "receiveText2"}, "01 03|1|AT|0 1");
    fill(d.get(), row1, "01 03 02 00 2A|1|1|01 03 0");
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_TRUE(d->isVisible() && ui.beeps == 1 && !QFile::exists(iniPath));
    EXPECT_TRUE(!child<QLineEdit>(d.get(), "receiveText1")->styleSheet().isEmpty()
                && child<QLineEdit>(d.get(), "hotKeyText1")->styleSheet().isEmpty());
    fill(d.get(), row1, "01 03 02 00 2A|1|1|01 03 00 00 00 01");
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_TRUE(d->result() == QDialog::Accepted && mask == 2u
                && ini("HotKeys", "HotKeyReceiveText1") == "01 03 00 00 00 01");
}

TEST_F(DialogTest, sendOptionsOpenWithTheSettingsAndOkWritesAllSixKeys)
{
    const QStringList controls
        = {"framing", "lineEnd", "checksum", "checksumText", "charDelay", "lineDelay"};
    const QString framed = QStringLiteral("STX \u2026 ETX around every text, hex input and hotkey");
    SendSettings s;
    s.lineEnd = 1;
    s.charDelayMs = 5;
    auto d = shown<CSendOptionsDlg>(s, iniPath);
    EXPECT_EQ(state(d.get(), controls), framed + "|CR|none|0|5|0");
    EXPECT_FALSE(child<QCheckBox>(d.get(), "checksumText")->isEnabled());
    fill(d.get(), controls, "none|LF|CRC-16/MODBUS (low byte first)|1|20|100");
    EXPECT_EQ(child<QLabel>(d.get(), "note")->text(),
              "AT and Enter send: 41 54 30 1F 0A\n"
              "The hex input 01 03 00 00 00 01 sends: 01 03 00 00 00 01 84 0A");
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_TRUE(!QFile::exists(iniPath) && s.lineEnd == 1);

    d = shown<CSendOptionsDlg>(s, iniPath);
    fill(d.get(), controls, "none|LF|CRC-16/MODBUS (low byte first)|1|20|100");
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(fileBytes(iniPath), "[Send]\nFraming=0\nLineEnd=2\nChecksum=1\nChecksumText=1\n"
                                  "CharDelay=20\nLineDelay=100\n");
    EXPECT_EQ(s, (SendSettings{false, 2, 1, true, 20, 100}));
    // Defaults brings back the r+k framing.
    d = shown<CSendOptionsDlg>(s, iniPath);
    child<QPushButton>(d.get(), "defaultsButton")->click();
    EXPECT_EQ(state(d.get(), controls), framed + "|CR LF|none|0|0|0");
}

TEST(PrinterFileNameDlg, okWithoutANameBeepsAndStaysOpen)
{
    RecordingUiServices ui;
    CPrinterFileNameDlg dialog(QStringLiteral("report.txt"));
    dialog.show();
    fill(&dialog, {"fileName"}, "");
    child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_TRUE(dialog.isVisible() && ui.beeps == 1);
}

} // namespace
