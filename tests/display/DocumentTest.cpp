#include "Pixels.h"
#include "display/DisplayBuffer.h"
#include "display/DisplayPrinter.h"
#include "display/DisplayWidget.h"
#include "display/RuKTerminalDoc.h"
#include "display/RuKTerminalView.h"
#include "support/RecordingUiServices.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DocumentTest : public ::testing::Test
{
protected:
    DocumentTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        settings.autoScroll = false;
    }

    void show(const QByteArray &bytes, bool received = true)
    {
        view.AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                             int(bytes.size()), received);
    }
    QByteArray shown() const { return view.widget()->buffer().text(); }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    static void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    RecordingUiServices ui;
    DisplaySettings settings;
    CharMapTable table;
    CRuKTerminalView view{settings, table, nullptr};
    CRuKTerminalDoc doc{&view};
};

TEST_F(DocumentTest, savedDisplayOpensAgainWithItsText)
{
    show("AB\r\nCD\rE\x03");
    show("sent\xC4", false);
    ASSERT_TRUE(doc.OnSaveDocument(path("a.ter")));
    // 8-bit characters, CR LF for every line break, no colours.
    EXPECT_EQ(readFile(path("a.ter")), QByteArray("AB\r\nCD\r\nE\r\nsent\xC4"));
    EXPECT_EQ(doc.title(), QStringLiteral("a.ter"));

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(doc.title(), QStringLiteral("Untitled"));

    ASSERT_TRUE(doc.OnOpenDocument(path("a.ter")));
    EXPECT_EQ(shown(), QByteArray("AB\nCD\nE\nsent\xC4"));
    const auto &runs = view.widget()->buffer().colorRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].color, qRgb(0, 0, 0));
    // What arrives next goes after the loaded text.
    show("Z");
    EXPECT_EQ(shown(), QByteArray("AB\nCD\nE\nsent\xC4Z"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, openedFilesShowTheirTextUpToTheFirstNul)
{
    const struct
    {
        QByteArray file;
        QByteArray display;
    } rows[] = {
        {QByteArray(), QByteArray()}, {QByteArray("abc\0def", 7), "abc"},
        {QByteArray("\0abc", 4), ""}, {"a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"\xB0\xFF", "\xB0\xFF"},
    };
    for (const auto &row : rows) {
        show("old");
        writeFile(path("r.ter"), row.file);
        ASSERT_TRUE(doc.OnOpenDocument(path("r.ter")));
        EXPECT_EQ(shown(), row.display) << row.file.toHex().toStdString();
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, failuresAreReportedAndLeaveTheDisplayAlone)
{
    QFile big(path("big.ter"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(CRuKTerminalView::kHardLimit + 1)); // sparse, takes no room
    big.close();
    QDir(dir.path()).mkdir(QStringLiteral("folder.ter"));
    writeFile(path("kept.ter"), "kept");
    ASSERT_TRUE(doc.OnOpenDocument(path("kept.ter")));
    show("+new");

    const struct
    {
        bool save;
        QString file;
        const char *reason;
    } rows[] = {
        {false, path("missing.ter"), "does not exist"},
        {false, path("folder.ter"), "folder"},
        {false, path("big.ter"), "larger"},
        {true, path("no/such/dir/x.ter"), "does not exist"},
        {true, path("folder.ter"), "folder"},
    };
    for (const auto &row : rows) {
        ui.messages.clear();
        EXPECT_FALSE(row.save ? doc.OnSaveDocument(row.file) : doc.OnOpenDocument(row.file));
        ASSERT_EQ(ui.messages.size(), 1u) << row.file.toStdString();
        EXPECT_TRUE(ui.messages[0].text.contains(row.file)) << ui.messages[0].text.toStdString();
        EXPECT_TRUE(ui.messages[0].text.contains(QLatin1String(row.reason)))
            << ui.messages[0].text.toStdString();
        EXPECT_EQ(ui.messages[0].icon, UiServices::Icon::Stop);
        EXPECT_EQ(shown(), QByteArray("kept+new"));
        EXPECT_EQ(doc.title(), QStringLiteral("kept.ter"));
    }
}

TEST_F(DocumentTest, fileCommandsAskForNamesAndKeepFourRecentFiles)
{
    show("text");
    ui.files = {path("first.ter")};
    ASSERT_TRUE(doc.OnFileSave()); // untitled: asks for a name
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_TRUE(ui.fileDialogs[0].filter.contains(QLatin1String("*.ter")));
    EXPECT_EQ(ui.fileDialogs[0].proposedName, QStringLiteral("Untitled.ter"));
    EXPECT_EQ(readFile(path("first.ter")), QByteArray("text"));
    show("+more");
    ASSERT_TRUE(doc.OnFileSave()); // named: saves without asking
    EXPECT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(readFile(path("first.ter")), QByteArray("text+more"));

    for (const char *name : {"b.ter", "c.ter", "d.ter", "e.ter"})
        ASSERT_TRUE(doc.OnSaveDocument(path(name)));
    EXPECT_EQ(doc.recentFiles(),
              (QStringList{path("e.ter"), path("d.ter"), path("c.ter"), path("b.ter")}));
    doc.OnOpenRecentFile(2);
    EXPECT_EQ(doc.recentFiles().constFirst(), path("c.ter"));
    // Another running copy sees the same list.
    EXPECT_EQ(CRuKTerminalDoc(nullptr).recentFiles(), doc.recentFiles());

    // An entry that no longer opens leaves the list.
    QFile::remove(path("d.ter"));
    doc.OnOpenRecentFile(2);
    EXPECT_EQ(doc.recentFiles(), (QStringList{path("c.ter"), path("e.ter"), path("b.ter")}));
    EXPECT_EQ(ui.messages.size(), 1u);

    ui.files = {}; // the open dialog cancelled
    doc.OnFileOpen();
    EXPECT_EQ(shown(), QByteArray("text+more"));
}

TEST_F(DocumentTest, printedPdfHoldsTheDisplayTextInItsColoursWithinTheMargins)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftotext.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "needs pdftotext and pdftoppm (poppler-utils)";
    for (int i = 0; i < 150; ++i)
        show(QStringLiteral("line %1\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1(), i % 2 == 0);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("out.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    ASSERT_TRUE(CDisplayPrinter::printBuffer(view.widget()->buffer(), printer));

    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), path("out.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList pages = out.split(u'\f', Qt::SkipEmptyParts);
    EXPECT_GE(pages.size(), 2);
    QStringList printed;
    for (const QString &l :
         out.split(QRegularExpression(QStringLiteral("[\n\f]")), Qt::SkipEmptyParts))
        printed << l.trimmed();
    QStringList expected;
    for (int i = 0; i < 150; ++i)
        expected << QStringLiteral("line %1").arg(i, 3, 10, QLatin1Char('0'));
    printed.removeAll(QString());
    EXPECT_EQ(printed, expected);

    // The first word starts 750 twips (37.5 points) from the page's edges.
    QProcess box;
    box.start(pdftotext,
              {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
               QStringLiteral("-l"), QStringLiteral("1"), path("out.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(box.waitForFinished(30000));
    const auto m = QRegularExpression(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\""))
                       .match(QString::fromUtf8(box.readAllStandardOutput()));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_NEAR(m.captured(1).toDouble(), 37.5, 1.5);
    EXPECT_NEAR(m.captured(2).toDouble(), 37.5, 3.0);

    // Received lines print blue, sent lines red.
    QProcess render;
    render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-f"),
                            QStringLiteral("1"), QStringLiteral("-singlefile"),
                            QStringLiteral("-png"), path("out.pdf"), path("page")});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(path("page.png"));
    ASSERT_FALSE(page.isNull());
    const BlueAndRed found = blueAndRed(page);
    EXPECT_TRUE(found.blue);
    EXPECT_TRUE(found.red);
}

} // namespace
