// The gateway dialog on a running terminal: the wire, the address table, the INI and address files.
#include "frame/CommandIds.h"
#include "frame/SendingFixture.h"
#include "gateway/GaFile.h"
#include "gateway/GatewayDlg.h"
#include "gateway/GatewaySession.h"
#include "gateway/GroupAddressModel.h"
#include "platform/ProfileFile.h"
#include "support/ChildProcess.h"
#include "support/ChildWidget.h"
#include "support/FileBytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QtEndian>

namespace {

using Names = std::vector<const char *>;
const Names kGroup = {"gaMainEdit", "gaMiddleEdit", "gaSubEdit", "formatCombo", "receiveCombo"};
const Names kPa = {"paAreaEdit", "paLineEdit", "paDeviceEdit"};

// The main window started, local echo off, the gateway dialog opened as its menu does but modeless.
class GatewayTest : public WindowTest
{
protected:
    void SetUp() override
    {
        start();
        openDialog();
    }
    void openDialog()
    {
        CGatewaySession &session = CGatewaySession::of(frame->terminal());
        dialog = std::make_unique<CGatewayDlg>(session, session.upload(), iniPath, dir.path(),
                                               frame.get());
        dialog->show();
    }
    void closeDialog() // as its close box does
    {
        dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        dialog.reset();
    }
    // The dialog the test opened, or the one the menu command runs modally.
    CGatewayDlg *dlg() const
    {
        auto *modal = qobject_cast<CGatewayDlg *>(QApplication::activeModalWidget());
        return modal ? modal : dialog.get();
    }
    template<typename T>
    T *w(const char *name) const
    {
        return ::child<T>(dlg(), name);
    }
    QString iniValue(const QString &section, const QString &key) const
    {
        return profile::getString(section, key, QStringLiteral("<missing>"), 4096, iniPath);
    }
    void click(const char *button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    // Sets line edits and lists (by the number or letter before an entry's ':') to
    // space-separated values, or reads them in that form.
    void set(const Names &names, const QString &values)
    {
        const QStringList v = values.split(u' ');
        for (std::size_t i = 0; i < names.size() && qsizetype(i) < v.size(); ++i) {
            if (auto *edit = dlg()->findChild<QLineEdit *>(QLatin1String(names[i])))
                edit->setText(v[qsizetype(i)]);
            else if (auto *list = w<QComboBox>(names[i]))
                list->setCurrentIndex(list->findText(v[qsizetype(i)] + u':', Qt::MatchStartsWith));
        }
    }
    QString shown(const Names &names) const
    {
        QStringList out;
        for (const char *name : names) {
            const auto *edit = dlg()->findChild<QLineEdit *>(QLatin1String(name));
            out << (edit ? edit->text() : w<QComboBox>(name)->currentText().section(u':', 0, 0));
        }
        return out.join(u' ');
    }
    void addAddress(const QString &fields)
    {
        set(kGroup, fields);
        click("addButton");
    }
    // The table as shown, "address E format" per row (format up to its ':').
    QString rows() const
    {
        QStringList out;
        const QAbstractItemModel *m = dlg()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString() + u' ' + m->index(r, 1).data().toString() + u' '
                       + m->index(r, 2).data().toString().section(u':', 0, 0);
        return out.join(QLatin1String("; "));
    }
    bool sendButtonsEnabled(bool on) const
    {
        return std::ranges::all_of(
            Names{"sendOptionsButton", "sendAddressButton", "sendTableButton"},
            [&](const char *b) { return w<QPushButton>(b)->isEnabled() == on; });
    }
    QString lastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
    // What arrives at the far end: `count` bytes, the event loop running meanwhile.
    QByteArray readFar(qsizetype count, int ms = 10000)
    {
        QByteArray got;
        const std::chrono::milliseconds poll(5);
        eventually([&] { return (got += link.readFar(count - got.size(), poll)).size() >= count; },
                   ms);
        return got;
    }
    QByteArray readRest() { return readFar(1 << 20, 300); } // all that comes within a moment
    static QByteArray frameOf(const QByteArray &text) { return '\x02' + text + '\x03'; }

    std::unique_ptr<CGatewayDlg> dialog; // closes before the window
};

TEST_F(GatewayTest, optionsAndPhysicalAddressGoOutAsEchoedFrames)
{
    const char *const options[]
        = {"OD", "OE", "OG", "OH", "ON", "OR", "OS", "OV", "OX", "OQ", "OW"};
    QByteArray wire;
    for (int i = 0; i < 11; ++i) {
        const bool on = i == 0 || i == 2 || i == 5 || i == 10;
        w<QCheckBox>(qPrintable(QStringLiteral("option") + options[i]))->setChecked(on);
        wire += frameOf(options[i] + QByteArray(on ? "+" : "-"));
    }
    click("sendOptionsButton");
    EXPECT_EQ(readFar(55), wire);
    // Echoed as sent data although local echo is off (STX dropped, ETX a line end).
    EXPECT_EQ(displayText(), QByteArray(wire).replace('\x02', "").replace('\x03', '\n'));
    // Area, line and device as typed → the frame: a device above 255 sets line bits,
    // area bits above the fourth are lost.
    for (const auto &[typed, sent] : {std::pair{"  ", "P:00.00.000"},
                                      {"15 15 255", "P:15.15.255"},
                                      {"16 1 1", "P:00.01.001"},
                                      {"0 0 257", "P:00.01.001"}}) {
        set(kPa, typed);
        click("sendAddressButton");
        EXPECT_EQ(readFar(13), frameOf(sent)) << typed;
    }
    EXPECT_TRUE(readRest().isEmpty());
}

TEST_F(GatewayTest, theTableFollowsTheEraseAfterThePauseOutlivingTheDialogButNotTheTerminal)
{
    addAddress("5 1 10 21 D");
    addAddress("1 2 3 9 E");
    QElapsedTimer sincePressed; // the pause is measured, never waited out by sleeping
    sincePressed.start();
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frameOf("ERASE!")); // at once; the Send buttons wait
    EXPECT_TRUE(sendButtonsEnabled(false));
    // Emptied and closed during the pause: the table goes out as it was when
    // Send was pressed, and a dialog opened meanwhile cannot start another.
    ui.answers.push_back(UiServices::Answer::Yes);
    click("removeAllButton");
    closeDialog();
    EXPECT_EQ(iniValue("GAS", "1"), "");
    openDialog();
    EXPECT_TRUE(sendButtonsEnabled(false));
    const QByteArray definitions = frameOf("S01/2/003:9,E") + frameOf("S05/1/010:21,D");
    EXPECT_TRUE(readFar(definitions.size()) == definitions && sincePressed.elapsed() >= 1500);
    EXPECT_TRUE(eventually([&] { return sendButtonsEnabled(true); }));
    EXPECT_EQ(displayText(), "ERASE!\nS01/2/003:9,E\nS05/1/010:21,D\n");

    // Stopping the terminal during the pause says the definitions were not sent.
    addAddress("1 2 3 9 E");
    click("sendTableButton");
    EXPECT_EQ(readFar(8), frameOf("ERASE!"));
    closeDialog();
    frame->OnTerminalStop();
    ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
    EXPECT_TRUE(lastMessage().contains(QLatin1String("Definitions not sent: 1")) && ui.beeps == 1
                && readRest().isEmpty());
    openDialog(); // not running: nothing can be sent
    EXPECT_TRUE(sendButtonsEnabled(false));
}

TEST_F(GatewayTest, addMergesSortsAndRefusesBit15WhileRemoveLooksForTheAddressAsTyped)
{
    addAddress("1 2 3 9 E");
    EXPECT_EQ(dialog->model()->index(0, 2).data().toString(), "9: EIB float value");
    for (const char *fields :
         {"15 7 255 21 D", "   1 E", "1 2 3 10 D", "16 0 0 1 E", "0 128 0 1 E", "0 0 32768 1 E"})
        addAddress(fields); // the same address changes its row; bit 15 is refused with a beep
    EXPECT_EQ(ui.beeps, 3);
    // Enter in an address field adds, and never closes the dialog; the fields show the
    // row folded also when it was selected already.
    for (int i = 0; i < 2; ++i) {
        set(kGroup, "1 2 300"); // sub 300 folds into middle 3, sub 44
        QTest::keyClick(w<QLineEdit>("gaSubEdit"), Qt::Key_Return);
    }
    QTest::keyClick(w<QLineEdit>("paAreaEdit"), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(rows(), "00/0/000 E 1; 01/2/003 D 10; 01/3/044 E 1; 15/7/255 D 21");
    EXPECT_EQ(shown(kGroup), "1 3 44 1 E"); // folded, without leading zeros
    w<QTableView>("addressList")->selectRow(1);
    EXPECT_EQ(shown(kGroup), "1 2 3 10 D");

    set(kGroup, "1 2 300"); // looks for 01/2/300: none
    click("removeButton");
    EXPECT_EQ(dialog->model()->rowCount(), 4);
    set(kGroup, "1 3 44");
    click("removeButton");
    EXPECT_EQ(rows(), "00/0/000 E 1; 01/2/003 D 10; 15/7/255 D 21");
    EXPECT_EQ(shown(kGroup), "15 7 255 21 D"); // the next row
    click("removeButton");                     // the last row: fields empty, lists at the top
    EXPECT_EQ(shown(kGroup), "   1 E");
    // The last row removed while another one is selected: that one stays so, in the fields too.
    w<QTableView>("addressList")->selectRow(0);
    set(kGroup, "1 2 3");
    click("removeButton");
    EXPECT_EQ(rows() + u' ' + shown(kGroup), "00/0/000 E 1 0 0 0 1 E");
    EXPECT_TRUE(w<QTableView>("addressList")->selectionModel()->isRowSelected(0));

    ui.answers = {UiServices::Answer::No, UiServices::Answer::Yes};
    click("removeAllButton");
    EXPECT_EQ(dialog->model()->rowCount(), 1);
    click("removeAllButton");
    EXPECT_EQ(rows(), "");
    EXPECT_EQ(ui.questions, QStringList(2, QStringLiteral("Remove all address definitions?")));
}

TEST_F(GatewayTest, closingSavesToTheIniAndAFailedSaveAsksBeforeLeaving)
{
    addAddress("5 1 10 21 D");
    addAddress("1 2 3 9 E");
    w<QCheckBox>("optionOD")->setChecked(true);
    w<QCheckBox>("optionOW")->setChecked(true);
    set(kPa, "1 33 5"); // line 33 sets an area bit: area 3, line 1
    closeDialog();
    const auto saved = [&] {
        return QStringList({iniValue("GAS", "1"), iniValue("GAS", "2"), iniValue("GAS", "3"),
                            iniValue("SETTINGS", "1"), iniValue("SETTINGS", "2"),
                            iniValue("SETTINGS", "11"), iniValue("PA", "Address")})
            .join(u' ');
    };
    EXPECT_EQ(saved(), "167968777 688521493  1 0 1 03.01.005"); // then the end mark
    openDialog();
    EXPECT_EQ(rows() + u'|' + shown(kPa), "01/2/003 E 9; 05/1/010 D 21|3 1 5");
    // A shorter table ends with its own end mark; the old key 2 is never read.
    ui.answers.push_back(UiServices::Answer::Yes);
    click("removeAllButton");
    closeDialog();
    EXPECT_TRUE(saved().startsWith(" 688521493 "));
    openDialog();
    EXPECT_EQ(rows(), "");

    // An INI that cannot be written (a folder in its place) asks before leaving.
    dialog.reset();
    iniPath = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    openDialog();
    addAddress("1 2 3 9 E");
    ui.answers = {UiServices::Answer::No, UiServices::Answer::Yes};
    dialog->close();
    EXPECT_TRUE(dialog->isVisible()
                && ui.questions.back().contains(QLatin1String("could not be written")));
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(GatewayTest, theMenuCommandShowsWhatAHandEditedIniHolds)
{
    closeDialog();
    const struct
    {
        const char *ini, *shown; // "Section key=value ...": the options, the fields, the rows
    } cases[] = {
        // "GAS" keys 1, 2 and 4: the missing key 3 ends the table.
        {"SETTINGS 1=1 3=1 5=1 7=1 9=1 11=1 PA Address=1.1.5 GAS 1=65545 2=167968777 4=688521493",
         "10101010101 1 1 5 00/0/001 E 9; 01/2/003 E 9"},
        // Any number but 0 checks an option; no second dot gives 0.0.0; a key of 0 ends the table.
        {"SETTINGS 2=7 4=-1 6=1 8=1 10=1 11=x PA Address=15.15 GAS 1=65545 2=0 3=167968777",
         "01010101010 0 0 0 00/0/001 E 9"},
    };
    for (const auto &[values, expected] : cases) {
        QFile::remove(iniPath);
        QString section;
        for (const QString &token : QString::fromLatin1(values).split(u' '))
            token.contains(u'=') ? ini(section, token.section(u'=', 0, 0), token.section(u'=', 1))
                                 : void(section = token);
        QString got;
        ModalDriver driver([&](QDialog *d) {
            for (const char *letters : gateway::kOptionLetters)
                got += QString::number(
                    w<QCheckBox>(qPrintable(QStringLiteral("option") + letters))->isChecked());
            got += u' ' + shown(kPa) + u' ' + rows();
            d->reject();
        });
        frame->action(CommandId::MediaGateway)->trigger();
        EXPECT_TRUE(driver.opened == QStringList{"CGatewayDlg"} && got == expected);
    }
}

TEST(GaTypeCodes, mapToTheirFormats)
{
    // clang-format off
    const std::pair<int, std::vector<quint32>> formats[] = {
        {10, {0x30}}, {11, {0x40}}, {3, {0x6001, 0x6002}}, {4, {0x6003}}, {6, {0x6101}},
        {9, {0x5001, 0x5002, 0x5003, 0x5004, 0x5005, 0x5006, 0x5010, 0x5011, 0x5020, 0x5021}},
        {5, {0x6100, 0xF000, 0xF001, 0xF002}}, {7, {0x10000}}, {8, {0x10001}}, {12, {0x11000}},
        {13, {0x11001}}, {15, {0x12000}}, {2, {0x13000}}, {16, {0x15000, 0x15001}},
        // The neighbours of the codes above, and codes that mean nothing.
        {1, {0, 0x31, 0x41, 0x5000, 0x5007, 0x500F, 0x5012, 0x501F, 0x5022, 0x6000, 0x6004,
             0x6102, 0x8FFF, 0x907A, 0xEFFF, 0xF003, 0xFFFF, 0x10002, 0x10FFF, 0x11002, 0x12001,
             0x13001, 0x14FFF, 0x15002, 0xFFFFFFFF}},
    };
    // clang-format on
    for (const auto &[format, codes] : formats)
        for (quint32 code : codes)
            EXPECT_EQ(gateway::FormatFromTypeCode(code), format) << std::hex << code;
    for (quint32 code = 0x9000; code <= 0x9079; ++code) // IEEE float, the whole range
        EXPECT_EQ(gateway::FormatFromTypeCode(code), 14) << std::hex << code;
}

// A .GA file: header with `id` and `recordSize`, records of (word, type code),
// then `tail` bytes of a record cut short.
QByteArray gaFile(const QByteArray &id, quint32 recordSize,
                  std::vector<std::pair<quint16, quint32>> records, int tail = 0)
{
    QByteArray bytes(32, '\xAA');
    bytes.replace(0, id.size(), id);
    qToLittleEndian<quint32>(recordSize, bytes.data() + 20);
    for (auto [word, code] : records) {
        QByteArray record(160, '\x55');
        qToLittleEndian<quint16>(word, record.data());
        qToLittleEndian<quint32>(code, record.data() + 4);
        bytes += record;
    }
    return bytes + QByteArray(tail, '\x11');
}

TEST_F(GatewayTest, addressFilesAreSavedAndLoadedAndSayWhereReadingStopped)
{
    click("saveButton"); // no rows: no file dialog, no file
    EXPECT_TRUE(ui.fileDialogs.empty());
    addAddress("5 1 10 21 D");
    addAddress("1 2 3 9 E");
    const QString path = dir.filePath(QStringLiteral("table.txt"));
    ui.files.push_back(path);
    click("saveButton");
    EXPECT_EQ(fileBytes(path), "S01/2/003:9,E\r\nS05/1/010:21,D\r\n");
    EXPECT_TRUE(ui.fileDialogs.at(0).confirmOverwrite);
    ui.files.push_back(dir.filePath(QStringLiteral("missing/table.txt"))); // cannot be created
    click("saveButton");
    EXPECT_TRUE(lastMessage().contains(QLatin1String("could not be written")));

    const QByteArray id("GRPADRLST\0", 10);
    const char *const before = "15/7/255 E 1"; // the table before: kept on failures
    // Records with invalid addresses are skipped (bit 15 never comes in).
    const std::vector<std::pair<quint16, quint32>> mixed
        = {{0x290A, 0x6003}, {0x8000, 0x30}, {0, 0x30}, {0x0A03, 0x5001}, {2, 0x9000}};
    const struct
    {
        bool import;
        QByteArray content;         // null: no such file
        const char *rows, *message; // part of the message, or "" for none
    } cases[] = {
        // Format 0, no comma, no last line end; LF line ends and a trailing blank line.
        {false, "S01/2/003:0,D\r\nS01/2/003:9", "01/2/003 D 1; 01/2/003 E 9", ""},
        {false, "S05/1/010:21,D\nS01/2/003:9,E\n\n", "01/2/003 E 9; 05/1/010 D 21", ""},
        // Addresses as typed by hand: signs, spaces, two levels, too large, no number.
        {false, "S +1/300:9,E\r\nS32/0/1:2,D\r\nSx/2/3:3,E\r\nSno slash:4,E",
         "00/0/000 E 4; 00/0/001 D 2; 00/2/003 E 3; 01/1/044 E 9", ""},
        {false, "S01/2/003:9,E\r\n\r\nS05/1/010:21,D\r\n", "01/2/003 E 9", "stopped at line 2"},
        {false, "GA list\r\nS01/2/003:9,E\r\n", before, "holds no group address definition"},
        {false, "S16/0/000:1,E\r\nS01/2/003:35,E\r\nS01/2/004:300,D\r\n", // bit 15, bad formats
         "01/2/003 E 1; 01/2/004 D 1", "Lines left out: 1"},
        {false, QByteArray(), before, "could not be opened"},
        {true, gaFile(id, 160, mixed), "00/0/002 E 14; 01/2/003 E 9; 05/1/010 E 4", ""},
        {true, gaFile(id, 160, {{0x0A03, 0x9010}}, 50), "01/2/003 E 14",
         "incomplete record of 50 bytes"},
        {true, gaFile(id, 128, {{0x0A03, 0x5001}}), before, "128 bytes long"},
        {true, QByteArray("GRPADRLST\0\0\0", 12), before, "no .GA address file"},
        {true, gaFile(id, 160, {{0x8001, 0x30}}), before, "no valid group address"},
        {true, QByteArray(), before, "could not be opened"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.content.left(40).toPercentEncoding().toStdString());
        dialog->model()->replaceAll({GroupAddressEntry::make(0x7FFF, 0, 1)});
        ui.messages.clear();
        const QString file = dir.filePath(QStringLiteral("in.file"));
        QFile::remove(file);
        ASSERT_TRUE(c.content.isNull() || writeFileBytes(file, c.content));
        ui.files.push_back(file);
        click(c.import ? "importButton" : "loadButton");
        EXPECT_EQ(rows(), c.rows);
        EXPECT_TRUE(*c.message ? lastMessage().contains(QLatin1String(c.message))
                               : ui.messages.empty());
        EXPECT_EQ(ui.fileDialogs.back().title.startsWith(u'I')
                      && ui.fileDialogs.back().filter.startsWith("GA files (*.GA)"),
                  c.import);
    }
}

// The terminal on a pseudo-terminal whose far end the gateway simulator plays:
// it checks every frame by the gateway's rules and prints its verdicts.
class GatewaySimTest : public GatewayTest
{
protected:
    void SetUp() override
    {
        endWithTest(sim);
        sim.start(QStringLiteral(ORBA_GATEWAY_SIM), {"--pty", "--idle-ms", "100"});
        ASSERT_TRUE(simSays("\n") && out.startsWith("pty ")) << out.toStdString();
        ini("Com", "UseSerial", "1");
        ini("Com", "Device", QString::fromLocal8Bit(out.mid(4, out.indexOf('\n') - 4)));
        ini("Com", "Protocol", "0");
        start(true);
        openDialog();
    }
    void TearDown() override
    {
        dialog.reset();
        frame.reset(); // the terminal lets go of the line first
        sim.terminate();
        sim.waitForFinished();
    }
    bool simSays(const QByteArray &text)
    {
        return eventually([&] { return (out += sim.readAllStandardOutput()).contains(text); });
    }

    QProcess sim;
    QByteArray out;
};

TEST_F(GatewaySimTest, theDialogsUploadKeepsTheGatewaysRulesAndTheSimulatorRefusesWhatBreaksThem)
{
    const auto writePastTheDialog = [&](std::initializer_list<QByteArray> texts) {
        QByteArray bytes;
        for (const QByteArray &text : texts)
            bytes += frameOf(text);
        frame->currentPort()->Write(bytes.constData(), static_cast<int>(bytes.size()));
    };
    writePastTheDialog({"S01/2/003:9,E"}); // no erase before it
    for (const char *option : {"optionOD", "optionOG", "optionOW"})
        w<QCheckBox>(option)->setChecked(true);
    click("sendOptionsButton");
    set(kPa, "1 1 5");
    click("sendAddressButton");
    for (const char *fields : {"5 1 10 21 D", "1 2 3 9 E", "15 7 255 16 E"})
        addAddress(fields);
    click("sendTableButton");
    ASSERT_TRUE(simSays("15/7/255 format 16 receive E\nend\n")) << out.toStdString();
    EXPECT_EQ(out.mid(out.lastIndexOf("state\n")),
              "state\noptions OD+ OE- OG+ OH- ON- OR- OS- OV- OX- OQ- OW+\npa 01.01.005\ntable 3\n"
              "01/2/003 format 9 receive E\n05/1/010 format 21 receive D\n"
              "15/7/255 format 16 receive E\nend\n");
    // An address below the last one, the last one again, a definition right after its erase.
    writePastTheDialog({"S00/0/001:1,E", "S15/7/255:5,D", "ERASE!", "S01/2/003:9,E"});
    ASSERT_TRUE(simSays("error still erasing")) << out.toStdString();
    // The lines on frames, without the states between them.
    QStringList verdicts = QString::fromLatin1(out).split(u'\n').filter(
        QRegularExpression(QStringLiteral("^(ok|error|note|pause)")));
    verdicts.replaceInStrings(QRegularExpression("\\d+ ms"), "N ms");
    EXPECT_EQ(
        verdicts.join(u'\n').toStdString(),
        "error definition without ERASE! before it: S01/2/003:9,E\n"
        "ok OD+\nok OE-\nok OG+\nok OH-\nok ON-\nok OR-\nok OS-\nok OV-\nok OX-\nok OQ-\nok OW+\n"
        "ok P:01.01.005\nok ERASE!\npause-after-erase N ms\n"
        "ok S01/2/003:9,E\nok S05/1/010:21,D\nok S15/7/255:16,E\n"
        "error not in ascending order (after 15/7/255): S00/0/001:1,E\n"
        "ok S15/7/255:5,D\nnote 15/7/255 defined again, the later definition holds\n"
        "ok ERASE!\npause-after-erase N ms\n"
        "error still erasing (N ms after ERASE!): S01/2/003:9,E");
}

} // namespace
