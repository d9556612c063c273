#include "ViewFixture.h"
#include "display/DisplayPrinter.h"
#include "display/RuKTerminalDoc.h"
#include "support/FileBytes.h"
#include "support/RecordingUiServices.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class DocumentTest : public ViewFixture
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    bool settingsHere = [this] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        return true;
    }();
    RecordingUiServices ui;
    CRuKTerminalDoc doc{&model};
};

TEST_F(DocumentTest, savedDisplayOpensAgainWithItsText)
{
    show("AB\r\nCD\rE\x03");
    show("sent\xC4", false);
    ui.files = {path("a.ter")};
    ASSERT_TRUE(doc.OnFileSave()); // untitled: asks for a name
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].proposedName, QStringLiteral("Untitled.ter"));
    // 8-bit characters, CR LF for every line break, no colours.
    EXPECT_EQ(fileBytes(path("a.ter")), QByteArray("AB\r\nCD\r\nE\r\nsent\xC4"));
    EXPECT_EQ(doc.title(), QStringLiteral("a.ter"));
    show("+");
    ASSERT_TRUE(doc.OnFileSave()); // named: saves without asking
    EXPECT_EQ(ui.fileDialogs.size(), 1u);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(text().isEmpty());
    EXPECT_EQ(doc.title(), QStringLiteral("Untitled"));
    ASSERT_TRUE(doc.OnOpenDocument(path("a.ter")));
    EXPECT_EQ(text(), QByteArray("AB\nCD\nE\nsent\xC4+"));
    ASSERT_EQ(buffer().colorRuns().size(), 1u);
    EXPECT_EQ(buffer().colorRuns()[0].color, qRgb(0, 0, 0));
    show("Z"); // what arrives next goes after the loaded text
    EXPECT_EQ(text(), QByteArray("AB\nCD\nE\nsent\xC4+Z"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, failuresAreReportedAndLeaveTheDisplayAlone)
{
    ASSERT_TRUE(writeFileBytes(path("big.ter"), {}) // sparse, takes no room
                && QFile::resize(path("big.ter"), CDisplayModel::kHardLimit + 1));
    QDir(dir.path()).mkdir(QStringLiteral("folder.ter"));
    ASSERT_TRUE(writeFileBytes(path("kept.ter"), "kept"));
    ASSERT_TRUE(doc.OnOpenDocument(path("kept.ter")));
    show("+new");
    const struct
    {
        bool save;
        const char *file;
        const char *reason;
    } rows[] = {
        {false, "missing.ter", "does not exist"},
        {false, "folder.ter", "folder"},
        {false, "big.ter", "larger"},
        {true, "no/such/dir/x.ter", "does not exist"},
        {true, "folder.ter", "folder"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        ui.messages.clear();
        const QString file = path(row.file);
        EXPECT_FALSE(row.save ? doc.OnSaveDocument(file) : doc.OnOpenDocument(file));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.contains(file)) << ui.messages[0].text.toStdString();
        EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String(row.reason)));
        EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Stop);
        EXPECT_EQ(text(), QByteArray("kept+new"));
        EXPECT_EQ(doc.title(), QStringLiteral("kept.ter"));
    }
}

TEST_F(DocumentTest, printedPdfHoldsTheDisplayTextOnItsPages)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "needs pdftotext (poppler-utils)";
    QString expected;
    for (int i = 0; i < 150; ++i) {
        const QString line = QStringLiteral("line %1").arg(i, 3, 10, QLatin1Char('0'));
        show(line.toLatin1() + "\r\n", i % 2 == 0);
        expected += line + u'\n';
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("out.pdf"));
    ASSERT_TRUE(CDisplayPrinter::printBuffer(buffer(), printer));
    QProcess p;
    p.start(pdftotext, {path("out.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_GE(out.count(u'\f'), 2); // more than one page
    EXPECT_EQ(QString(out).remove(u'\f').replace(QStringLiteral("\n\n"), QStringLiteral("\n")),
              expected);
}

} // namespace
