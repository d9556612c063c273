// The settings dialogs: what they show on opening, what OK writes to the INI
// file and the terminal's settings, and that Cancel writes nothing.
#include "dialogs/CharMapDlg.h"
#include "dialogs/HotKeyDlg.h"
#include "dialogs/PortSettingsDlg.h"
#include "dialogs/PortSettingsForm.h"
#include "dialogs/PrinterFileNameDlg.h"
#include "platform/ProfileFile.h"
#include "support/ChildWidget.h"
#include "support/EventLoopWait.h"
#include "support/FakeDeviceTree.h"
#include "support/FileBytes.h"
#include "support/RecordingUiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <optional>

namespace {

// The named controls as the user sees them, '|'-separated: the text of a line
// edit or list, 1 or 0 for a check box or radio button.
QString state(const QWidget *d, const QStringList &names)
{
    QStringList out;
    for (const QString &name : names) {
        QObject *o = d->findChild<QObject *>(name);
        if (auto *edit = qobject_cast<QLineEdit *>(o))
            out << edit->text();
        else if (auto *list = qobject_cast<QComboBox *>(o))
            out << list->currentText();
        else if (auto *button = qobject_cast<QAbstractButton *>(o))
            out << QString::number(button->isChecked());
        else
            ADD_FAILURE() << "no control " << name.toStdString();
    }
    return out.join(u'|');
}
// Sets the named controls to '|'-separated values in the same form.
void fill(QWidget *d, const QStringList &names, const QString &values)
{
    const QStringList v = values.split(u'|');
    for (qsizetype i = 0; i < names.size(); ++i) {
        QObject *o = d->findChild<QObject *>(names[i]);
        if (auto *edit = qobject_cast<QLineEdit *>(o))
            edit->setText(v.value(i));
        else if (auto *list = qobject_cast<QComboBox *>(o))
            list->setCurrentText(v.value(i));
        else if (auto *button = qobject_cast<QAbstractButton *>(o))
            button->setChecked(v.value(i) == u'1');
    }
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
    // 1 or 0 for each group of controls: serial, network, USB, display.
    static QString visible(const QWidget *d)
    {
        QString out;
        for (const char *name :
             {"comPortList", "baudEdit", "parityList", "protocolList", "addressEdit", "udpCheck",
              "usbDeviceList", "limitCheck", "limitEdit", "logCheck", "logFileEdit"})
            out += child<QWidget>(d, name)->isVisible() ? u'1' : u'0';
        return out;
    }

    FakeDeviceTree tree;
    TerminalSettings settings;
    const QStringList kControls
        = {"comPortList",  "baudEdit",    "parityList",     "protocolList", "dataBitsEdit",
           "stopBitsEdit", "addressEdit", "portNumberEdit", "udpCheck",     "usbDeviceList",
           "limitCheck",   "limitEdit",   "logCheck",       "logFileEdit"};
};

TEST_F(PortSettingsDlgTest, eachLinkKindShowsItsGroupAndOkStoresTheKind)
{
    const struct
    {
        int portKind; // as stored before
        const char *radio, *visible, *stored;
    } rows[] = {{1, "usbRadio", "00000011111", "2"},
                {2, "networkRadio", "00001101111", "0"},
                {7, "serialRadio", "11110001111", "1"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.radio);
        settings.portKind = row.portKind;
        auto d = open();
        child<QRadioButton>(d.get(), row.radio)->click();
        EXPECT_EQ(visible(d.get()), row.visible);
        d->accept();
        EXPECT_EQ(ini("Com", "UseSerial"), row.stored);
        EXPECT_EQ(settings.portKind, QString(row.stored).toInt());
        // Opened again, the dialog shows that kind.
        d = open();
        EXPECT_TRUE(child<QRadioButton>(d.get(), row.radio)->isChecked());
        EXPECT_EQ(visible(d.get()), row.visible);
    }
    settings.portKind = 7; // any other value: network
    EXPECT_TRUE(child<QRadioButton>(open().get(), "networkRadio")->isChecked());
}

TEST_F(PortSettingsDlgTest, opensWithTheSettingsAndOkWritesEveryKeyInItsOrderAndForm)
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
    EXPECT_EQ(
        items(child<QComboBox>(d.get(), "comPortList")),
        QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", kAdapter}));
    EXPECT_EQ(items(child<QComboBox>(d.get(), "usbDeviceList")), QStringList({"---", kZebra}));
    EXPECT_EQ(state(d.get(), kControls), "COM3|57600|O (odd)|Hardware (DTR/DTS)|8|1|192.168.0.1|"
                                         "9100|1|---|1|5|1|/tmp/run.log");

    child<QRadioButton>(d.get(), "usbRadio")->click();
    fill(d.get(), kControls,
         "COM3|250000|E (even)|None|7|2||10001|0|" + kZebra + "|1|-5|0|/tmp/a b.log");
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(fileBytes(iniPath), "[Com]\nUseSerial=2\nPort=3\nDevice=\nBaud=250000\n"
                                  "DataBits=7\nStopBits=2\nParity=1\nProtocol=0\n"
                                  "[Usb]\nDeviceName=usb:1-4:1.0\n"
                                  "[Net]\nIPAdr=\nPortNum=10001\nSocketType=1\n"
                                  "[Display]\nUseLimit=1\nLimit=0\nUseLogging=0\n"
                                  "Logfile=/tmp/a b.log\n");
    // The terminal takes the same values: the dialog shows them when opened again.
    EXPECT_EQ(state(open().get(), kControls),
              "COM3|250000|E (even)|None|7|2||10001|0|" + kZebra + "|1|0|0|/tmp/a b.log");
}

TEST_F(PortSettingsDlgTest, theDeviceListsStoreACOMNumberADevicePathOrTheUsbPrinterPresentAtOk)
{
    const QString byIdPath = tree.devPath(QStringLiteral("serial/by-id/")) + kById;
    const QString gone = QStringLiteral("/dev/serial/by-id/usb-gone");
    const struct
    {
        QString storedDevice, shown, chosen; // chosen: null for none
        QString port, device;
    } serial[] = {
        {byIdPath, kAdapter, QStringLiteral("COM3"), "3", ""}, // a COM entry clears the device
        {QString(), QStringLiteral("COM2"), kAdapter, "2", byIdPath},
        {QString(), QStringLiteral("COM2"), QStringLiteral(" /tmp/ttyV0 "), "2", "/tmp/ttyV0"},
        {QString(), QStringLiteral("COM2"), QStringLiteral("com12"), "12", ""},
        {gone, gone + QStringLiteral(" (absent)"), QString(), "2", gone}, // an absent one is kept
    };
    for (const auto &row : serial) {
        SCOPED_TRACE(row.chosen.toStdString());
        QFile::remove(iniPath);
        settings.comPort = 2;
        settings.comDevice = row.storedDevice;
        auto d = open();
        auto *list = child<QComboBox>(d.get(), "comPortList");
        EXPECT_EQ(list->currentText(), row.shown);
        if (!row.chosen.isNull())
            list->setCurrentText(row.chosen);
        d->accept();
        EXPECT_EQ(ini("Com", "Port") + u'|' + ini("Com", "Device"), row.port + u'|' + row.device);
        EXPECT_EQ(settings.comDevice, row.device);
    }
    const struct
    {
        QString stored, shown;
        bool unplugBeforeOk;
        QString result;
    } usb[] = {
        {"usb:1-4:1.0", kZebra, false, "usb:1-4:1.0"},
        {"usb:1-4:1.0", kZebra, true, kPlaceholder},
        {kPlaceholder, "---", false, kPlaceholder},
        {"usb:3-1:1.0", "usb:3-1:1.0 (absent)", false, "usb:3-1:1.0"},
    };
    for (const auto &row : usb) {
        SCOPED_TRACE(row.stored.toStdString());
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
    auto d = open();
    const QString before = state(d.get(), kControls);
    child<QRadioButton>(d.get(), "networkRadio")->click();
    fill(d.get(), {"comPortList", "addressEdit", "logCheck"}, "COM5|10.0.0.9|1");
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(iniPath));
    d = open();
    EXPECT_EQ(state(d.get(), kControls), before);
    EXPECT_TRUE(child<QRadioButton>(d.get(), "serialRadio")->isChecked());
}

TEST_F(PortSettingsDlgTest, devicesPluggedInWhileOpenAppearAndTheChoiceStays)
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
    EXPECT_EQ(items(usb), QStringList({"---", kZebra, "USB 1-1: r+k Printer"}));
    EXPECT_EQ(usb->currentText(), kZebra);
    // Without Refresh: the dialog watches /dev.
    tree.addSerialAdapter(QStringLiteral("ttyUSB1"), QStringLiteral("1-5"), QString());
    EXPECT_TRUE(eventually([&] { return com->count() == 12; }));
    EXPECT_EQ(com->currentText(), QStringLiteral("/tmp/ttyTyped (absent)"));
    d->accept();
    EXPECT_EQ(ini("Com", "Device"), "/tmp/ttyTyped");
    EXPECT_EQ(ini("Usb", "DeviceName"), "usb:1-4:1.0");
}

TEST_F(PortSettingsDlgTest, numberFieldsTakeDigitsOnlyAndTheLogFileButtonOffersAFileDialog)
{
    settings.display.logFilePath = QStringLiteral("/var/log/old.log");
    auto d = open();
    for (const char *name : {"dataBitsEdit", "stopBitsEdit", "portNumberEdit", "limitEdit"}) {
        auto *edit = child<QLineEdit>(d.get(), name);
        edit->clear();
        QTest::keyClicks(edit, "1a-2 3");
        EXPECT_EQ(edit->text(), "123") << name;
    }
    auto *baud = child<QComboBox>(d.get(), "baudEdit");
    EXPECT_TRUE(CPortSettingsForm::baudRates().contains("115200"));
    baud->lineEdit()->clear();
    QTest::keyClicks(baud->lineEdit(), "31x250");
    EXPECT_EQ(baud->currentText(), "31250");

    ui.files.push_back(QStringLiteral("/tmp/new.log"));
    child<QAbstractButton>(d.get(), "logFileButton")->click();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].directory, "/var/log");
    EXPECT_EQ(ui.fileDialogs[0].proposedName, "old.log");
    EXPECT_FALSE(ui.fileDialogs[0].confirmOverwrite);
    EXPECT_EQ(child<QLineEdit>(d.get(), "logFileEdit")->text(), "/tmp/new.log");
    child<QAbstractButton>(d.get(), "logFileButton")->click(); // cancelled: the path stays
    EXPECT_EQ(child<QLineEdit>(d.get(), "logFileEdit")->text(), "/tmp/new.log");
}

class CharMapDlgTest : public DialogTest
{
protected:
    CharMapDlgTest()
    {
        table.setText(0x0D, "<CR>");
        table.setText(0x41, "letter A");
    }
    std::unique_ptr<CCharMapDlg> open()
    {
        auto d = std::make_unique<CCharMapDlg>(table, mappingOn, iniPath);
        d->show();
        return d;
    }
    static QStringList rows(QDialog *d)
    {
        QStringList out;
        auto *list = child<QTreeWidget>(d, "list");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(0) + u'=' + list->topLevelItem(i)->text(1);
        return out;
    }
    static void add(QDialog *d, const QString &code, const QString &text)
    {
        fill(d, {"codeEdit", "textEdit"}, code + u'|' + text);
        child<QPushButton>(d, "addButton")->click();
    }

    CharMapTable table;
    bool mappingOn = false;
};

TEST_F(CharMapDlgTest, editsWorkOnACopyUntilOkWritesEveryKeyAndTheSwitch)
{
    auto d = open();
    EXPECT_EQ(rows(d.get()), QStringList({"0D=<CR>", "41=letter A"}));
    EXPECT_FALSE(child<QCheckBox>(d.get(), "activeCheck")->isChecked());
    add(d.get(), "1b", "ESC");
    add(d.get(), "1B", "Esc");                          // the same entry
    add(d.get(), "", QStringLiteral(" \u00C4 "));       // no code: code 0
    add(d.get(), " 7", QString(31, u'x'));              // 31 typed, 30 kept
    add(d.get(), "41", "");                             // an empty text clears
    add(d.get(), "fg", QStringLiteral("\u00C4\u0436")); // parsing stops at g
    add(d.get(), "-1", "minus");                        // no code: refused with a beep
    add(d.get(), "zz", "letters");
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_EQ(rows(d.get()), QStringList({"00= \u00C4 ", "07=" + QString(30, u'x'), "0D=<CR>",
                                          "0F=\u00C4?", "1B=Esc"}));
    // Selecting fills the edits; Remove clears the selected code.
    auto *list = child<QTreeWidget>(d.get(), "list");
    list->setCurrentItem(list->topLevelItem(4));
    EXPECT_EQ(state(d.get(), {"codeEdit", "textEdit"}), "1B|Esc");
    child<QPushButton>(d.get(), "removeButton")->click();
    EXPECT_EQ(rows(d.get()).size(), 4);
    EXPECT_FALSE(rows(d.get()).contains("1B=Esc"));
    // Remove without a selection does nothing; clearing the selection empties the edits.
    list->setCurrentItem(list->topLevelItem(0));
    list->clearSelection();
    EXPECT_EQ(state(d.get(), {"codeEdit", "textEdit"}), "|");
    child<QPushButton>(d.get(), "removeButton")->click();
    EXPECT_EQ(rows(d.get()).size(), 4);
    // Nothing of this reached the terminal or the file yet.
    EXPECT_EQ(table.text(0x41), "letter A");
    EXPECT_TRUE(table.text(0).isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath));

    child<QCheckBox>(d.get(), "activeCheck")->setChecked(true);
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_TRUE(mappingOn);
    EXPECT_EQ(ini("CharTexts", "Active"), "1");
    for (int code = 0; code < 256; ++code) {
        const QString expected = code == 0      ? QStringLiteral(" \u00C4 ")
                                 : code == 7    ? QString(30, u'x')
                                 : code == 0x0D ? QStringLiteral("<CR>")
                                 : code == 0x0F ? QStringLiteral("\u00C4?")
                                                : QString();
        EXPECT_EQ(ini("CharTexts", QString::number(code)), expected) << code;
        EXPECT_EQ(table.text(code), expected.toLatin1()) << code;
    }
    // Switching it off again writes "0".
    d = open();
    EXPECT_TRUE(child<QCheckBox>(d.get(), "activeCheck")->isChecked());
    child<QCheckBox>(d.get(), "activeCheck")->setChecked(false);
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_FALSE(mappingOn);
    EXPECT_EQ(ini("CharTexts", "Active"), "0");
}

TEST_F(CharMapDlgTest, cancelChangesNothingAndCodeTextsAreReadAsHex)
{
    profile::writeString("CharTexts", "13", "old", iniPath);
    const QByteArray before = fileBytes(iniPath);
    const CharMapTable tableBefore = table;
    auto d = open();
    add(d.get(), "0D", "new");
    child<QCheckBox>(d.get(), "activeCheck")->setChecked(true);
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_TRUE(table == tableBefore);
    EXPECT_FALSE(mappingOn);
    EXPECT_EQ(fileBytes(iniPath), before);

    const std::pair<const char *, std::optional<int>> codes[] = {
        {"", 0},
        {"  ", 0},
        {"0", 0},
        {"ff", 255},
        {"FF", 255},
        {" a", 10},
        {"1g", 1},
        {"0x", 0},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"g", std::nullopt},
        {"100", std::nullopt},
        {"\u0661", std::nullopt}, // an Arabic 1
    };
    for (const auto &[text, code] : codes)
        EXPECT_EQ(CCharMapDlg::parseCode(QString::fromUtf8(text)), code) << text;
}

class HotKeyDlgTest : public DialogTest
{
protected:
    std::unique_ptr<CHotKeyDlg> open()
    {
        auto d = std::make_unique<CHotKeyDlg>(iniPath, receiveTexts, mask);
        d->show();
        return d;
    }
    // The controls of the row of F1 + i.
    static QStringList row(int i)
    {
        QStringList names;
        for (const char *name : {"hotKeyText", "crlf", "hex", "receiveOn", "receiveText"})
            names << QLatin1String(name) + QString::number(i);
        return names;
    }
    QString value(const QString &key) const { return ini("HotKeys", key); }

    std::array<QString, 12> receiveTexts;
    std::uint32_t mask = 0;
};

TEST_F(HotKeyDlgTest, opensWithTheFileAndTheTerminalsTriggersAndOkWritesEveryRow)
{
    const QString longText(3000, u'T');
    for (const auto &[key, value] : {std::pair{"HotKeyText0", QStringLiteral("ATZ")},
                                     {"HotKeyText3", longText},
                                     {"HotKeyCRLF0", "1"},
                                     {"HotKeyHex5", "7"},
                                     {"HotKeyReceiveText2", "from the file"}})
        profile::writeString("HotKeys", key, value, iniPath);
    receiveTexts[2] = "from memory";
    receiveTexts[4] = "off but kept";
    mask = 0x4 | 0x800;
    auto d = open();
    for (int i = 0; i < 12; ++i) {
        const QString text = i == 0 ? "ATZ" : i == 3 ? longText.left(2046) : QString();
        const bool on = i == 2 || i == 11;
        EXPECT_EQ(state(d.get(), row(i)), QStringList({text, i == 0 ? "1" : "0", i == 5 ? "1" : "0",
                                                       on ? "1" : "0", receiveTexts[i]})
                                              .join(u'|'));
        // A receive text can be edited exactly while its trigger is on.
        EXPECT_EQ(d->findChild<QLineEdit *>(row(i)[4])->isEnabled(), on) << i;
    }
    EXPECT_EQ(d->findChild<QLineEdit *>(row(3)[0])->maxLength(), 2047);
    EXPECT_EQ(d->findChild<QLineEdit *>(row(3)[4])->maxLength(), 255);
    d->findChild<QCheckBox *>(row(4)[3])->click();
    d->findChild<QCheckBox *>(row(2)[3])->click();
    EXPECT_TRUE(d->findChild<QLineEdit *>(row(4)[4])->isEnabled());
    EXPECT_FALSE(d->findChild<QLineEdit *>(row(2)[4])->isEnabled());

    // OK: every row goes to the file, the triggers to the mask; a receive
    // text stays while its trigger is off.
    const QString longer(300, u'L');
    for (int i = 0; i < 12; ++i)
        fill(d.get(), row(i),
             QStringList({i == 1 ? longer : "", i == 1 ? "1" : "0", i == 9 ? "1" : "0",
                          i == 2 ? "1" : "0", i == 2 ? "ping" : receiveTexts[i]})
                 .join(u'|'));
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(mask, 4u);
    EXPECT_EQ(value("AutoReply"), "4");
    EXPECT_EQ(receiveTexts[2], "ping");
    EXPECT_EQ(receiveTexts[4], "off but kept");
    for (int i = 0; i < 12; ++i) {
        const QString n = QString::number(i);
        EXPECT_EQ(QStringList({value("HotKeyText" + n), value("HotKeyCRLF" + n),
                               value("HotKeyHex" + n), value("HotKeyReceiveText" + n)})
                      .join(u'|'),
                  QStringList({i == 1 ? longer : "", i == 1 ? "1" : "0", i == 9 ? "1" : "0",
                               receiveTexts[i]})
                      .join(u'|'));
    }
    // All triggers off: the mask is 0 and the texts stay.
    d = open();
    d->findChild<QCheckBox *>(row(2)[3])->setChecked(false);
    child<QPushButton>(d.get(), "okButton")->click();
    EXPECT_EQ(value("AutoReply"), "0");
    EXPECT_EQ(value("HotKeyReceiveText2"), "ping");
}

TEST_F(HotKeyDlgTest, cancelChangesNothing)
{
    profile::writeString("HotKeys", "HotKeyText0", "old", iniPath);
    receiveTexts[0] = "trigger";
    mask = 1;
    const QByteArray before = fileBytes(iniPath);
    auto d = open();
    fill(d.get(), row(0), "new|1|1|0|changed");
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(fileBytes(iniPath), before);
    EXPECT_EQ(receiveTexts[0], "trigger");
    EXPECT_EQ(mask, 1u);
}

TEST(PrinterFileNameDlg, okWithoutANameBeepsAndStaysOpen)
{
    RecordingUiServices ui;
    CPrinterFileNameDlg dialog(QStringLiteral("report.txt"));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("r+k Printer file name"));
    EXPECT_EQ(state(&dialog, {"fileName"}), "report.txt");
    fill(&dialog, {"fileName"}, "");
    child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    fill(&dialog, {"fileName"}, "DIR\\A.TXT");
    child<QPushButton>(&dialog, "okButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.fileName(), QStringLiteral("DIR\\A.TXT"));
}

} // namespace
