// The printer file name dialog: OK needs a name.
#include "dialogs/PrinterFileNameDlg.h"
#include "support/RecordingUiServices.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(PrinterFileNameDlg, okWithoutANameBeepsAndStaysOpen)
{
    RecordingUiServices ui;
    CPrinterFileNameDlg dialog(QStringLiteral("report.txt"));
    dialog.show();
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileName"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okButton"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("r+k Printer file name"));
    EXPECT_EQ(edit->text(), QStringLiteral("report.txt"));

    edit->clear();
    ok->click();
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);

    edit->setText(QStringLiteral("DIR\\A.TXT"));
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.fileName(), QStringLiteral("DIR\\A.TXT"));
}

} // namespace
