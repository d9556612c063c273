// The display as the user sees it: modes, limit, mouse, find bar; saved, opened and printed.
#include "display/DisplayModel.h"
#include "display/DisplayPrinter.h"
#include "display/DisplayWidget.h"
#include "display/FindBar.h"
#include "display/RuKTerminalDoc.h"
#include "display/RuKTerminalView.h"
#include "platform/Clock.h"
#include "support/FileBytes.h"
#include "support/RecordingUiServices.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A display model with its view shown in a window of its own, and a clock that stands still.
class DisplayView : public ::testing::Test
{
protected:
    DisplayView()
    {
        view.resize(600, 300);
        view.show();
        QApplication::processEvents();
        setClockForTesting([this] { return now; });
    }
    ~DisplayView() override { setClockForTesting({}); }

    void show(const QByteArray &bytes, bool received = true)
    {
        model.append(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                     static_cast<int>(bytes.size()), received);
    }
    CDisplayWidget *display() const { return view.widget(); }
    const CDisplayBuffer &buffer() const { return model.buffer(); }
    QByteArray text() const { return buffer().text(); }
    // Lets pending scrolls and repaints happen.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    void receiveLines(int from, int to)
    {
        QByteArray lines;
        for (int i = from; i < to; ++i)
            lines += "line " + QByteArray::number(i) + '\n';
        show(lines);
    }
    // Text with each colour run marked: "[B]" received, "[R]" sent.
    QByteArray colouredText() const
    {
        const auto &runs = buffer().colorRuns();
        QByteArray out;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const qsizetype end = i + 1 < runs.size() ? runs[i + 1].start : buffer().length();
            out += runs[i].color == CDisplayModel::kReceivedColor ? "[B]" : "[R]";
            out += text().mid(runs[i].start, end - runs[i].start);
        }
        return out;
    }
    QLineEdit *findText() const { return view.findBar()->findChild<QLineEdit *>("findText"); }
    void find(const QString &pattern)
    {
        view.findAction()->trigger();
        findText()->clear();
        QTest::keyClicks(findText(), pattern);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(findText(), k, mods); }
    QString selected() const { return display()->selectedText(); }
    int selectedLine() const { return buffer().lineOfOffset(display()->selectionStart()); }

    LocalTime now{2026, 12, 5, 10, 22, 24, 31};
    DisplaySettings settings;
    CharMapTable table;
    CDisplayModel model{settings, table};
    CRuKTerminalView view{model, settings};
};

TEST_F(DisplayView, eachModeShowsItsText)
{
    const QByteArray ts24 = "05.12.2026 10:22:24.031 - ", ts25 = "05.12.2026 10:22:25.031 - ";
    struct Step
    {
        QByteArray bytes;
        bool received = true;
        int second = 24;
    };
    const struct
    {
        std::function<void()> setup;
        std::vector<Step> steps;
        QByteArray shown;
    } rows[] = {
        // Timestamps are taken when a line's first text arrives.
        {[&] { settings.timestampPerLine = true; },
         {{"X\nY\n"}, {"Z", true, 25}, {"B", false, 25}, {"1\r2", true, 25}},
         "[B]" + ts24 + "X\n" + ts24 + "Y\n" + ts25 + "Z[R]B[B]1\n" + ts25 + "2"},
        // Hex: a new line per direction, and from a line start after clearing.
        {[&] { settings.hexMode = true; },
         {{QByteArray(20, 'A')}, {"\x01", false}, {"\x02"}},
         "[B]\n41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 \n41 41 41 41 [R]\n01 [B]\n02 "},
        {[&] {
             settings.charMappingOn = true;
             for (const auto &[code, t] :
                  {std::pair{0, "<NUL>"}, {'N', "n"}, {13, "<CR>"}, {10, "<LF>"}})
                 table.setText(code, t);
         },
         {{QByteArray("a\0b\rc\r\nd", 8)}},
         "[B]a<nUL>b<CR>c<CR><LF>d"},
        {[&] {
             settings.charMappingOn = settings.timestampPerLine = true;
             table.setText(10, "<LF>");
             model.setLineStartPending(false);
         },
         {{"x\ny"}},
         "[B]x<LF>\n" + ts24 + "y"},
        // The display limit empties the display before the next block.
        {[&] { settings.displayLimitOn = true, settings.displayLimit = 1024; },
         {{QByteArray(1100, 'a')}, {"next"}},
         "[B]next"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.shown.left(40).constData());
        settings = DisplaySettings{};
        table.clear();
        row.setup();
        model.clear();
        for (const Step &step : row.steps) {
            now.second = step.second;
            show(step.bytes, step.received);
        }
        EXPECT_EQ(colouredText(), row.shown);
    }
}

TEST_F(DisplayView, theOldestTextGoesBeyondTheHardLimit)
{
    settings.autoScroll = false;
    const QByteArray block = QByteArray(1000, 'x') + "\r\n";
    int n = 0;
    for (qint64 fed = 0; fed < CDisplayModel::kHardLimit * 3 / 2; fed += block.size())
        show(QByteArray::number(n++) + block);
    show("sent", false);
    const CDisplayBuffer &b = buffer();
    EXPECT_TRUE(b.length() <= CDisplayModel::kHardLimit
                && b.length() >= CDisplayModel::kHardLimit / 2);
    // The newest text is whole; a grey note at the top says older text went.
    EXPECT_TRUE(text().endsWith(QByteArray::number(n - 1) + QByteArray(1000, 'x') + "\nsent"));
    EXPECT_TRUE(text().startsWith("[Older text was removed here")
                && b.colorRuns().front().color == CDisplayModel::kNoteColor);
    EXPECT_EQ(b.colorRuns()[1].start, b.lineStart(1)); // the kept text keeps its colour
    // The line index agrees with the text moved to the front.
    const QList<QByteArray> lines = text().split('\n');
    ASSERT_EQ(b.lineCount(), lines.size());
    for (qsizetype i = 0, start = 0; i < lines.size(); start += lines[i++].size() + 1)
        ASSERT_TRUE(b.lineStart(i) == start && b.lineOfOffset(start + lines[i].size()) == i);
    // Whole lines went: the first one kept is a block's line from its start.
    EXPECT_TRUE(
        text().mid(b.lineStart(1)).startsWith(QByteArray::number(n - b.lineCount() + 2) + "xxx"));
    // One block larger than the display keeps: its end is shown.
    show(QByteArray(CDisplayModel::kHardLimit, 'h') + "end");
    EXPECT_EQ((std::pair{b.lineCount(), b.lineLength(1)}),
              (std::pair{2, CDisplayModel::kHardLimit / 2}));
    EXPECT_TRUE(text().startsWith("[Older text was removed here") && text().endsWith("hhend"));
}

// Each cell in its run's colour or the selection's (a line break too); a burst scrolls to its end.
TEST_F(DisplayView, cellsArePaintedInTheirColoursWithTheSelectionOverThem)
{
    receiveLines(0, 100);
    settle();
    EXPECT_EQ(display()->verticalScrollBar()->maximum(), buffer().lineCount() - 1);
    EXPECT_FALSE(display()->cellRect(buffer().lineStart(buffer().lineCount() - 1)).isEmpty());

    model.clear();
    show("\nHHHH");
    show("HHHH\nHH", false);
    const qsizetype line = buffer().lineStart(1);
    display()->select(line + 2, line + 10);
    settle();
    const QImage image = display()->viewport()->grab().toImage();
    const QPalette &pal = display()->palette();
    // Per cell: highlighted background, blue text, red text, any text at all.
    const QRgb highlight = pal.color(QPalette::Highlight).rgb();
    const QRgb base = pal.color(QPalette::Base).rgb();
    const auto cell = [&](qsizetype offset) {
        const QRect r = display()->cellRect(offset).adjusted(1, 0, -1, 0);
        QByteArray seen("....");
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                for (const auto &[i, colour] : {std::pair{0, highlight},
                                                {1, QRgb(CDisplayModel::kReceivedColor)},
                                                {2, QRgb(CDisplayModel::kSentColor)}})
                    if (pixel == colour)
                        seen[i] = 'x';
                if (pixel != highlight && pixel != base)
                    seen[3] = 'x';
            }
        return seen;
    };
    const QByteArrayList expected{".x.x", ".x.x", "x..x", "x..x", "x..x", "x..x",
                                  "x..x", "x..x", "x...", "x..x", "..xx"};
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(cell(line + i), expected[i]) << i;
}

TEST_F(DisplayView, aDoubleClickSelectsTheWordUnderIt)
{
    show("alpha beta gamma\nsecond line");
    settle();
    QWidget *vp = display()->viewport();
    for (const auto &[offset, word] :
         {std::pair{0, "alpha"}, {4, "alpha"}, {7, "beta"}, {15, "gamma"}, {27, "line"}}) {
        QTest::mouseDClick(vp, Qt::LeftButton, {}, display()->cellRect(offset).center());
        EXPECT_EQ(selected(), QString::fromLatin1(word)) << offset;
    }
}

TEST_F(DisplayView, findStepsWrapsMarksAndHoldsAutoScrollWhileAMatchIsShown)
{
    settings.autoScroll = false;
    receiveLines(0, 300);
    settle();
    find(QStringLiteral("LINE 1")); // case-insensitive, from the top of the view on
    EXPECT_TRUE(findText()->hasFocus() && selected() == QStringLiteral("line 1"));
    const auto step = [&](Qt::KeyboardModifiers mods, int line, const char *message) {
        key(Qt::Key_Return, mods);
        EXPECT_EQ(selectedLine(), line);
        EXPECT_EQ(view.findBar()->message(), QString::fromLatin1(message));
    };
    step(Qt::NoModifier, 10, "");
    step(Qt::ShiftModifier, 1, "");
    step(Qt::ShiftModifier, 199, "Continued from the bottom");
    settle(); // and the view goes there
    EXPECT_FALSE(display()->cellRect(display()->selectionStart()).isEmpty());
    step(Qt::NoModifier, 1, "Continued from the top");
    // Typing on narrows the match where it is.
    QTest::keyClicks(findText(), QStringLiteral("9"));
    EXPECT_EQ(selected(), QStringLiteral("line 19"));
    QTest::keyClicks(findText(), QStringLiteral("x"));
    EXPECT_EQ(view.findBar()->message(), QStringLiteral("Not found"));
    key(Qt::Key_Backspace);
    EXPECT_FALSE(view.findBar()->notFound());
    // The buttons do what the keys do; "Match case" narrows.
    view.findBar()->findChild<QAbstractButton *>("findNext")->click();
    EXPECT_EQ(selectedLine(), 190);
    view.findBar()->findChild<QAbstractButton *>("findMatchCase")->click();
    EXPECT_TRUE(view.findBar()->notFound());
    key(Qt::Key_Escape);
    EXPECT_FALSE(view.findBar()->isVisible() || display()->isHighlighting());

    // Data arriving leaves the match and the view where they are.
    settings.autoScroll = true;
    model.clear();
    receiveLines(0, 100);
    settle();
    find(QStringLiteral("line 5"));
    key(Qt::Key_Return, Qt::ShiftModifier); // the first is above the view: the last one
    EXPECT_EQ(selectedLine(), 59);
    settle();
    const int first = display()->firstVisibleLine();
    receiveLines(100, 600);
    settle();
    EXPECT_EQ(
        (std::tuple{selectedLine(), display()->firstVisibleLine(), view.findBar()->message()}),
        (std::tuple{59, first, QStringLiteral("Auto-scroll waits while a match is shown")}));
    key(Qt::Key_Return); // the text that came is found too
    EXPECT_EQ(selectedLine(), 500);
    key(Qt::Key_Escape); // closed, the view follows the text again at once
    settle();
    const QRect last = display()->cellRect(buffer().lineStart(buffer().lineCount() - 1));
    EXPECT_TRUE(!last.isEmpty() && last.bottom() < display()->viewport()->height());
}

class DocumentTest : public DisplayView
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
    // 8-bit characters, CR LF for every line break, no colours.
    EXPECT_EQ((std::tuple{ui.fileDialogs[0].proposedName, fileBytes(path("a.ter")), doc.title()}),
              (std::tuple{QStringLiteral("Untitled.ter"), QByteArray("AB\r\nCD\r\nE\r\nsent\xC4"),
                          QStringLiteral("a.ter")}));
    show("+");
    ASSERT_TRUE(doc.OnFileSave()); // named: saves without asking
    EXPECT_EQ(ui.fileDialogs.size(), 1u);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ((std::pair{text(), doc.title()}),
              (std::pair{QByteArray(), QStringLiteral("Untitled")}));
    ASSERT_TRUE(doc.OnOpenDocument(path("a.ter")));
    EXPECT_EQ(text(), QByteArray("AB\nCD\nE\nsent\xC4+"));
    ASSERT_EQ(buffer().colorRuns().size(), 1u);
    EXPECT_EQ(buffer().colorRuns()[0].color, qRgb(0, 0, 0));
    show("Z"); // what arrives next goes after the loaded text
    EXPECT_TRUE(text() == "AB\nCD\nE\nsent\xC4+Z" && ui.messages.empty());
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
        EXPECT_EQ((std::tuple{ui.messages[0].icon, text(), doc.title()}),
                  (std::tuple{UiServices::Icon::Stop, QByteArray("kept+new"),
                              QStringLiteral("kept.ter")}));
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
