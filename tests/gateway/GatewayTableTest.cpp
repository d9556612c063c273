// The group address table of the gateway dialog and what the dialog keeps in
// the INI file.
#include "GatewayFixture.h"

#include "gateway/GaFile.h"
#include "gateway/GroupAddressEntry.h"

namespace {

class GatewayTableTest : public GatewayTest
{
protected:
    void SetUp() override
    {
        startTerminal(false);
        openDialog();
    }
    QStringList gaFields() const { return texts({"gaMainEdit", "gaMiddleEdit", "gaSubEdit"}); }
    QStringList paFields() const { return texts({"paAreaEdit", "paLineEdit", "paDeviceEdit"}); }
    QStringList lists() const
    {
        return {child<QComboBox>("formatCombo")->currentText(),
                child<QComboBox>("receiveCombo")->currentText()};
    }
    int selectedRow() const
    {
        const QModelIndexList s
            = child<QTableView>("addressList")->selectionModel()->selectedRows();
        return s.isEmpty() ? -1 : s.first().row();
    }
};

TEST_F(GatewayTableTest, addMergesSortsRefusesBit15AndSelects)
{
    // Not running: nothing can be sent, the table can be edited.
    EXPECT_TRUE(sendButtonsEnabled(false));
    for (const char *b : {"addButton", "saveButton", "loadButton", "importButton"})
        EXPECT_TRUE(child<QPushButton>(b)->isEnabled()) << b;

    addAddress("1", "2", "3", 9, false);
    EXPECT_EQ(rows(), QStringList{"01/2/003|E|" + kFloat});
    addAddress("1", "2", "3", 10, true); // the same address changes the row in place
    EXPECT_EQ(rows(), QStringList{"01/2/003|D|" + kTime});
    // Addresses with bit 15 are refused with a beep.
    for (auto [main, middle, sub] :
         {std::tuple{"16", "0", "0"}, std::tuple{"0", "128", "0"}, std::tuple{"0", "0", "32768"}})
        addAddress(main, middle, sub, 1, false);
    EXPECT_EQ(ui.beeps, 3);
    addAddress("15", "7", "255", 1, false);
    addAddress("", "", "", 1, false);
    addAddress("32", "0", "1", 1, false); // main 32 folds to 0, bit 15 clear
    // Enter in an address field adds, and never closes the dialog.
    setGa("1", "2", "300"); // sub 300 folds into middle 3, sub 44
    QTest::keyClick(child<QLineEdit>("gaSubEdit"), Qt::Key_Return);
    QTest::keyClick(child<QLineEdit>("paAreaEdit"), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(rows(), (QStringList{"00/0/000|E|" + kDecimal, "00/0/001|E|" + kDecimal,
                                   "01/2/003|D|" + kTime, "01/3/044|E|" + kDecimal,
                                   "15/7/255|E|" + kDecimal}));
    EXPECT_EQ(selectedRow(), 3);
    // The selection shows the folded address without leading zeros.
    EXPECT_EQ(gaFields(), (QStringList{"1", "3", "44"}));
    child<QTableView>("addressList")->selectRow(2);
    EXPECT_EQ(gaFields(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(lists(), (QStringList{kTime, "D: Disabled"}));
}

TEST_F(GatewayTableTest, removeLooksForTheAddressAsTypedAndRemoveAllAsks)
{
    addAddress("1", "2", "300", 1, false); // 01/3/044
    addAddress("0", "0", "1", 1, false);
    addAddress("2", "0", "0", 21, true);
    setGa("1", "2", "300"); // looks for 01/2/300: none
    click("removeButton");
    EXPECT_EQ(rows().size(), 3);
    setGa("1", "3", "44");
    click("removeButton");
    EXPECT_EQ(rows(), (QStringList{"00/0/001|E|" + kDecimal, "02/0/000|D|" + kHex}));
    EXPECT_EQ(selectedRow(), 1); // the next row
    EXPECT_EQ(gaFields(), (QStringList{"2", "0", "0"}));
    EXPECT_EQ(lists(), (QStringList{kHex, "D: Disabled"}));
    // Removing the last row leaves nothing selected: fields empty, lists at their first entry.
    click("removeButton");
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(gaFields(), (QStringList{"", "", ""}));
    EXPECT_EQ(lists(), (QStringList{kDecimal, "E: Enabled"}));

    ui.answers = {UiServices::Answer::No, UiServices::Answer::Yes};
    click("removeAllButton");
    EXPECT_EQ(rows().size(), 1);
    click("removeAllButton");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(ui.questions, QStringList(2, QStringLiteral("Remove all address definitions?")));
}

TEST_F(GatewayTableTest, closingSavesEverythingAndReopeningShowsItAgain)
{
    addAddress("5", "1", "10", 21, true);
    addAddress("1", "2", "3", 9, false);
    child<QCheckBox>("optionOD")->setChecked(true);
    child<QCheckBox>("optionOW")->setChecked(true);
    type("paAreaEdit", "1");
    type("paLineEdit", "33"); // sets an area bit: area 3, line 1
    type("paDeviceEdit", "5");
    closeDialog();
    EXPECT_EQ(iniValue("GAS", "1"), QStringLiteral("167968777")); // 0x0A030009
    EXPECT_EQ(iniValue("GAS", "2"), QStringLiteral("688521493")); // 0x290A0115
    EXPECT_EQ(iniValue("GAS", "3"), QString());
    EXPECT_EQ(iniValue("SETTINGS", "1"), QStringLiteral("1"));
    EXPECT_EQ(iniValue("SETTINGS", "2"), QStringLiteral("0"));
    EXPECT_EQ(iniValue("SETTINGS", "11"), QStringLiteral("1"));
    EXPECT_EQ(iniValue("PA", "Address"), QStringLiteral("03.01.005"));

    openDialog();
    EXPECT_EQ(rows(), (QStringList{"01/2/003|E|" + kFloat, "05/1/010|D|" + kHex}));
    EXPECT_TRUE(child<QCheckBox>("optionOD")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("optionOE")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("optionOW")->isChecked());
    EXPECT_EQ(paFields(), (QStringList{"3", "1", "5"}));

    // A shorter table ends with its own end mark; the old key 2 is never read.
    ui.answers.push_back(UiServices::Answer::Yes);
    click("removeAllButton");
    closeDialog();
    EXPECT_EQ(iniValue("GAS", "1"), QString());
    EXPECT_EQ(iniValue("GAS", "2"), QStringLiteral("688521493"));
    openDialog();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(ui.messages.empty());

    // An INI that cannot be written (a folder in its place) asks before leaving.
    dialog.reset();
    iniPath = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    openDialog();
    addAddress("1", "2", "3", 9, false);
    ui.answers = {UiServices::Answer::No, UiServices::Answer::Yes};
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(ui.questions.size(), 2);
    EXPECT_TRUE(ui.questions.back().contains(QLatin1String("could not be written")));
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(GatewayTableTest, handEditedIniValuesGiveDefinedRows)
{
    const struct
    {
        const char *name;
        std::vector<std::pair<const char *, const char *>> gas;
        const char *address; // nullptr: no key
        QStringList rows, paFields;
        const char *message; // part of the message shown, or nullptr for none
    } cases[] = {
        {"keys 1, 2 and 4 give two rows",
         {{"1", "167968777"}, {"2", "688521493"}, {"4", "65545"}},
         "1.1.5",
         {"01/2/003|E|" + kFloat, "05/1/010|D|" + kHex},
         {"1", "1", "5"},
         nullptr},
        {"a value of 0 ends the table",
         {{"1", "0"}, {"2", "167968777"}},
         "1.1",
         {},
         {"0", "0", "0"},
         nullptr},
        {"text ends the table",
         {{"1", "65545"}, {"2", "abc"}, {"3", "167968777"}},
         nullptr,
         {"00/0/001|E|" + kFloat},
         {"0", "0", "0"},
         nullptr},
        {"bit 15 and values beyond 32 bits are left out, the rest goes on",
         {{"1", "-2147287031"}, {"2", "4294967296"}, {"3", "167968777"}},
         "15.15.255",
         {"01/2/003|E|" + kFloat},
         {"15", "15", "255"},
         "Entries left out: 2"},
        {"a format outside 1-21 becomes 1, a receive flag above 1 disabled",
         {{"1", "167968831"}, {"2", "167969289"}},
         "x",
         {"01/2/003|E|" + kDecimal, "01/2/003|D|" + kFloat},
         {"0", "0", "0"},
         "Entries changed: 2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dialog.reset();
        QFile::remove(iniPath);
        for (const auto &[key, value] : c.gas)
            ini("GAS", key, QLatin1String(value));
        if (c.address)
            ini("PA", "Address", QLatin1String(c.address));
        ui.messages.clear();
        openDialog();
        EXPECT_EQ(rows(), c.rows);
        EXPECT_EQ(paFields(), c.paFields);
        if (c.message) {
            ASSERT_TRUE(eventually([&] { return !ui.messages.empty(); }));
            EXPECT_TRUE(ui.messages.front().text.contains(QLatin1String(c.message)));
        } else {
            QCoreApplication::processEvents();
            EXPECT_TRUE(ui.messages.empty());
        }
    }
}

TEST(GatewayCore, groupAddressTextsAndTypeCodes)
{
    const struct
    {
        const char *text;
        std::uint16_t word;
        bool canonical; // the text form of the word
    } addresses[] = {
        {"01/2/003", 0x0A03, true},      {"15/7/255", 0x7FFF, true}, {"00/0/000", 0, true},
        {" +1/2/3", 0x0A03, false},      {"1/2/300", 0x0B2C, false}, {"1/300", 0x092C, false},
        {"01/2/003:9,E", 0x0A03, false}, {"16/0/0", 0x8000, false},  {"32/0/1", 0x0001, false},
        {"no slash", 0, false},          {"x/2/3", 0x0203, false},
    };
    for (const auto &c : addresses) {
        EXPECT_EQ(gateway::ParseGroupAddress(QString::fromLatin1(c.text)), c.word) << c.text;
        EXPECT_TRUE(!c.canonical || gateway::groupAddressText(c.word) == QLatin1String(c.text))
            << c.text;
    }
    const std::pair<std::uint32_t, int> codes[] = {
        {0x30, 10},   {0x40, 11},    {0x5001, 9},   {0x5006, 9},   {0x5007, 1},     {0x5010, 9},
        {0x5021, 9},  {0x6001, 3},   {0x6002, 3},   {0x6003, 4},   {0x6100, 5},     {0x6101, 6},
        {0x8FFF, 1},  {0x9000, 14},  {0x9079, 14},  {0x907A, 1},   {0xF000, 5},     {0xF002, 5},
        {0xF003, 1},  {0x10000, 7},  {0x10001, 8},  {0x11000, 12}, {0x11001, 13},   {0x12000, 15},
        {0x13000, 2}, {0x15000, 16}, {0x15001, 16}, {0, 1},        {0xFFFFFFFF, 1},
    };
    for (const auto &[code, format] : codes)
        EXPECT_EQ(gateway::FormatFromTypeCode(code), format) << std::hex << code;
}

} // namespace
