#include "dialogs/CharMapDlg.h"

#include "platform/ProfileFile.h"
#include "support/ChildWidget.h"
#include "support/RecordingUiServices.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <optional>

namespace {

class CharMapDlgTest : public ::testing::Test
{
protected:
    CharMapDlgTest()
    {
        iniPath = dir.filePath(QStringLiteral("o.ini"));
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
        child<QLineEdit>(d, "codeEdit")->setText(code);
        child<QLineEdit>(d, "textEdit")->setText(text);
        child<QPushButton>(d, "addButton")->click();
    }
    QByteArray iniBytes() const
    {
        QFile f(iniPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir;
    QString iniPath;
    CharMapTable table;
    bool mappingOn = false;
    RecordingUiServices ui;
};

TEST_F(CharMapDlgTest, listShowsDefinedCodesAndEditsWorkOnACopy)
{
    auto d = open();
    EXPECT_EQ(rows(d.get()), QStringList({"0D=<CR>", "41=letter A"}));
    EXPECT_FALSE(child<QCheckBox>(d.get(), "activeCheck")->isChecked());

    add(d.get(), "1b", "ESC");
    add(d.get(), "1B", "Esc");                          // the same entry
    add(d.get(), "", "zero");                           // no code: code 0
    add(d.get(), " 7", QString(31, u'x'));              // 31 typed, 30 kept
    add(d.get(), "41", "");                             // an empty text clears
    add(d.get(), "fg", QStringLiteral("\u00C4\u0436")); // parsing stops at g
    EXPECT_EQ(rows(d.get()), QStringList({"00=zero", "07=" + QString(30, u'x'), "0D=<CR>",
                                          "0F=\u00C4?", "1B=Esc"}));

    // Selecting fills the edits; Remove clears the selected code.
    auto *list = child<QTreeWidget>(d.get(), "list");
    list->setCurrentItem(list->topLevelItem(2));
    EXPECT_EQ(child<QLineEdit>(d.get(), "codeEdit")->text(), "0D");
    EXPECT_EQ(child<QLineEdit>(d.get(), "textEdit")->text(), "<CR>");
    child<QPushButton>(d.get(), "removeButton")->click();
    EXPECT_EQ(rows(d.get()).size(), 4);
    EXPECT_FALSE(rows(d.get()).contains("0D=<CR>"));
    // Remove without a selection does nothing; clearing the selection empties the edits.
    list->setCurrentItem(list->topLevelItem(0));
    list->clearSelection();
    EXPECT_EQ(child<QLineEdit>(d.get(), "codeEdit")->text(), "");
    EXPECT_EQ(child<QLineEdit>(d.get(), "textEdit")->text(), "");
    child<QPushButton>(d.get(), "removeButton")->click();
    EXPECT_EQ(rows(d.get()).size(), 4);

    // Nothing of this reached the terminal or the file yet.
    EXPECT_EQ(table.text(0x0D), "<CR>");
    EXPECT_TRUE(table.text(0x1B).isEmpty());
    EXPECT_EQ(iniBytes(), "<none>");
}

TEST_F(CharMapDlgTest, okWritesEveryKeyAndTheSwitch)
{
    auto d = open();
    add(d.get(), "1B", "Esc");
    add(d.get(), "0", QStringLiteral(" \u00C4 "));
    child<QCheckBox>(d.get(), "activeCheck")->setChecked(true);
    child<QPushButton>(d.get(), "okButton")->click();

    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_TRUE(mappingOn);
    EXPECT_EQ(table.text(0x1B), "Esc");
    EXPECT_EQ(table.text(0), " \xC4 ");
    EXPECT_EQ(table.text(0x0D), "<CR>");
    const QString s = QStringLiteral("CharTexts");
    EXPECT_EQ(profile::getString(s, "Active", "<missing>", 30, iniPath), "1");
    for (int code = 0; code < 256; ++code) {
        const QString expected = code == 0      ? QStringLiteral(" \u00C4 ")
                                 : code == 0x0D ? QStringLiteral("<CR>")
                                 : code == 0x1B ? QStringLiteral("Esc")
                                 : code == 0x41 ? QStringLiteral("letter A")
                                                : QString();
        EXPECT_EQ(profile::getString(s, QString::number(code), "<missing>", 30, iniPath), expected)
            << code;
    }

    // Switching it off again writes "0".
    auto again = open();
    EXPECT_TRUE(child<QCheckBox>(again.get(), "activeCheck")->isChecked());
    child<QCheckBox>(again.get(), "activeCheck")->setChecked(false);
    child<QPushButton>(again.get(), "okButton")->click();
    EXPECT_FALSE(mappingOn);
    EXPECT_EQ(profile::getString(s, "Active", "<missing>", 30, iniPath), "0");
}

TEST_F(CharMapDlgTest, cancelChangesNothing)
{
    profile::writeString("CharTexts", "13", "old", iniPath);
    const QByteArray before = iniBytes();
    const CharMapTable tableBefore = table;
    auto d = open();
    add(d.get(), "0D", "new");
    child<QCheckBox>(d.get(), "activeCheck")->setChecked(true);
    child<QPushButton>(d.get(), "cancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_TRUE(table == tableBefore);
    EXPECT_FALSE(mappingOn);
    EXPECT_EQ(iniBytes(), before);
}

TEST_F(CharMapDlgTest, codeTextsThatDenoteNoCodeAreRefusedWithABeep)
{
    const std::vector<std::pair<QString, std::optional<int>>> cases = {
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
        {"\u0661", std::nullopt},
    };
    for (const auto &[text, code] : cases)
        EXPECT_EQ(CCharMapDlg::parseCode(text), code) << text.toStdString();

    auto d = open();
    add(d.get(), "-1", "minus");
    add(d.get(), "zz", "letters");
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_EQ(rows(d.get()), QStringList({"0D=<CR>", "41=letter A"}));
    child<QPushButton>(d.get(), "okButton")->click();
    for (int code = 0; code < 256; ++code) {
        if (code != 0x0D && code != 0x41) {
            EXPECT_TRUE(table.text(code).isEmpty()) << code;
        }
    }
}

} // namespace
