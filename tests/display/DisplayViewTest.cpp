// What the user sees of the display: each mode's text, whatever the block
// boundaries; the last line whole under auto-scroll; the mouse on the right
// character; the find bar over text that keeps arriving.
#include "ViewFixture.h"
#include "display/FindBar.h"
#include "display/ReceivedBlockQueue.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <functional>
#include <random>

namespace {

class DisplayView : public ViewFixture
{
protected:
    void restart(const std::function<void()> &setup = {})
    {
        settings = DisplaySettings{};
        table.clear();
        if (setup)
            setup();
        view.ClearDisplay();
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
            out += runs[i].color == CRuKTerminalView::kReceivedColor ? "[B]" : "[R]";
            out += text().mid(runs[i].start, end - runs[i].start);
        }
        return out;
    }
    QRect lastLineCell() const
    {
        return display()->cellRect(buffer().lineStart(buffer().lineCount() - 1));
    }
    bool lastLineWhole() const
    {
        return !lastLineCell().isEmpty()
               && lastLineCell().bottom() + 1 <= display()->viewport()->height();
    }
    QLineEdit *findText() const { return view.findBar()->findChild<QLineEdit *>("findText"); }
    void find(const QString &pattern)
    {
        view.findAction()->trigger();
        findText()->clear();
        QTest::keyClicks(findText(), pattern);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(findText(), k, mods);
    }
    QString selected() const { return display()->selectedText(); }
    int selectedLine() const { return buffer().lineOfOffset(display()->selectionStart()); }
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
        const char *what;
        std::function<void()> setup;
        std::vector<Step> steps;
        QByteArray shown;
    } rows[] = {
        {"timestamps, taken when a line's first text arrives",
         [&] { settings.timestampPerLine = true; },
         {{"X\nY\n"}, {"Z", true, 25}, {"B", false, 25}, {"1\r2", true, 25}},
         "[B]" + ts24 + "X\n" + ts24 + "Y\n" + ts25 + "Z[R]B[B]1\n" + ts25 + "2"},
        {"hex, a new line per direction",
         [&] { settings.hexMode = true; },
         {{QByteArray(20, 'A')}, {"\x01", false}, {"\x02"}},
         "[B]\n41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 \n41 41 41 41 [R]\n01 [B]\n02 "},
        {"hex after clearing, from a line start",
         [&] { settings.hexMode = true; },
         {{"\x03"}},
         "[B]\n03 "},
        {"named control bytes",
         [&] {
             settings.charMappingOn = true;
             for (const auto &[code, t] :
                  {std::pair{0, "<NUL>"}, {'N', "n"}, {13, "<CR>"}, {10, "<LF>"}})
                 table.setText(code, t);
         },
         {{QByteArray("a\0b\rc\r\nd", 8)}},
         "[B]a<nUL>b<CR>c<CR><LF>d"},
        {"named line feed with timestamps",
         [&] {
             settings.charMappingOn = settings.timestampPerLine = true;
             table.setText(10, "<LF>");
             settings.lineStartPending = false;
         },
         {{"x\ny"}},
         "[B]x<LF>\n" + ts24 + "y"},
        {"display limit: emptied before the next block",
         [&] {
             settings.displayLimitOn = true;
             settings.displayLimit = 1024;
         },
         {{QByteArray(1100, 'a')}, {"next"}},
         "[B]next"},
        {"no display limit",
         {},
         {{QByteArray(2000, 'b')}, {"c"}},
         "[B]" + QByteArray(2000, 'b') + "c"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        restart(row.setup);
        for (const Step &step : row.steps) {
            now.second = step.second;
            show(step.bytes, step.received);
        }
        EXPECT_EQ(colouredText(), row.shown);
    }
}

// A block boundary is invisible, except after a CR (a line break of its own).
TEST_F(DisplayView, blockBoundariesDoNotChangeWhatIsShown)
{
    std::mt19937 rng(20261207);
    const QByteArray alphabet("\r\n\x00\x02\x03 AZaz\xC4\xFF", 12);
    const auto showBlocks = [&](const QList<QByteArray> &blocks) {
        view.ClearDisplay();
        settings.lineStartPending = true;
        for (const QByteArray &block : blocks)
            show(block);
        return std::pair{text(), buffer().lineCount()};
    };
    for (int round = 0; round < 300; ++round) {
        restart([&] {
            settings.hexMode = round % 4 == 0;
            settings.timestampPerLine = round % 2 == 1;
            settings.charMappingOn = round % 3 != 0;
            settings.hexBytesPerLine = static_cast<int>(rng() % 20) - 2;
            for (int i = static_cast<int>(rng() % 5); i > 0; --i)
                table.setText(alphabet[rng() % alphabet.size()],
                              QByteArray("<xy>").left(static_cast<int>(rng() % 5)));
        });
        QByteArray bytes;
        for (int n = static_cast<int>(rng() % 200); n > 0; --n)
            bytes += alphabet[rng() % alphabet.size()];
        while (bytes.endsWith('\x02')) // nothing visible: no block of its own
            bytes.chop(1);
        QList<QByteArray> blocks{{}};
        for (const char c : bytes) {
            if (!blocks.last().isEmpty() && rng() % 4 == 0
                && (settings.hexMode || !blocks.last().endsWith('\r')))
                blocks.append(QByteArray());
            blocks.last() += c;
        }
        const auto whole = showBlocks({bytes});
        ASSERT_EQ(showBlocks(blocks), whole)
            << "round " << round << " " << bytes.toHex().constData();
        if (settings.hexMode) {
            ASSERT_EQ(whole.first.count(' '), bytes.size());
        }
    }
}

TEST_F(DisplayView, receivedBlocksAreShownInOrderPaintedBlueAndTriggersSeeThemWhileAutoReplyIsSet)
{
    ClearReceivedQueue();
    QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>("one "), 4);
    QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>("two"), 3);
    EXPECT_TRUE(view.ShowNextReceivedBlock());
    settings.autoReplyMask = 1;
    EXPECT_TRUE(view.ShowNextReceivedBlock());
    EXPECT_FALSE(view.ShowNextReceivedBlock());
    show(" sent", false);
    EXPECT_EQ(text(), QByteArray("one two sent"));
    const auto [blue, red] = blueAndRed(shot());
    EXPECT_TRUE(blue);
    EXPECT_TRUE(red);
    settings.hexMode = true;
    show("four");
    EXPECT_EQ(triggered, QByteArray("twofour"));
    QueueReceivedBlock(reinterpret_cast<const std::uint8_t *>("x"), 1);
    ClearReceivedQueue();
    EXPECT_FALSE(view.ShowNextReceivedBlock());
}

TEST_F(DisplayView, theOldestTextGoesBeyondTheHardLimit)
{
    settings.autoScroll = false;
    const QByteArray block = QByteArray(1000, 'x') + "\r\n";
    int n = 0;
    for (qint64 fed = 0; fed < CRuKTerminalView::kHardLimit * 3 / 2; fed += block.size())
        show(QByteArray::number(n++) + block);
    show("sent", false);
    const CDisplayBuffer &b = buffer();
    EXPECT_LE(b.length(), CRuKTerminalView::kHardLimit);
    EXPECT_GE(b.length(), CRuKTerminalView::kHardLimit / 2);
    // The newest text is whole; a grey note at the top says older text went.
    EXPECT_TRUE(text().endsWith(QByteArray::number(n - 1) + QByteArray(1000, 'x') + "\nsent"));
    EXPECT_TRUE(text().startsWith("[Older text was removed here"));
    EXPECT_EQ(b.colorRuns().front().color, CRuKTerminalView::kNoteColor);
    // Whole lines went: the first one kept is a block's line from its start.
    EXPECT_TRUE(
        text().mid(b.lineStart(1)).startsWith(QByteArray::number(n - b.lineCount() + 2) + "xxx"));
    // One block larger than the display keeps: its end is shown.
    show(QByteArray(CRuKTerminalView::kHardLimit, 'h') + "end");
    EXPECT_EQ(b.lineCount(), 2);
    EXPECT_TRUE(text().startsWith("[Older text was removed here"));
    EXPECT_EQ(b.lineLength(1), CRuKTerminalView::kHardLimit / 2);
    EXPECT_TRUE(text().endsWith("hhend"));
}

TEST_F(DisplayView, autoScrollShowsTheLastLineWholeAtAnyHeightAndFont)
{
    for (int pixels : {9, 12, 17, 23}) {
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::Monospace);
        font.setPixelSize(pixels);
        display()->setDisplayFont(font);
        for (int height : {61, 100, 157, 233, 301, 420}) {
            SCOPED_TRACE(std::to_string(pixels) + " px, " + std::to_string(height));
            view.resize(600, height);
            receiveLines(0, 150);
            show("last");
            settle();
            ASSERT_TRUE(lastLineWhole());
            // It is the last line in view: no empty row is left below it.
            EXPECT_EQ(lastLineCell().top() / display()->lineHeight(),
                      display()->visibleLineCapacity() - 1);
            view.ClearDisplay();
        }
    }
}

TEST_F(DisplayView, theLastLineStaysWholeWhenTheViewShrinksOrGetsAScrollBar)
{
    receiveLines(0, 100);
    for (int height : {250, 173, 120, 90}) {
        view.resize(600, height);
        settle();
        EXPECT_TRUE(lastLineWhole()) << height;
    }
    // Grown again, the view fills with the text above, not with room below.
    view.resize(600, 300);
    settle();
    EXPECT_EQ(lastLineCell().top() / display()->lineHeight(), display()->visibleLineCapacity() - 1);
    // Text that came while the window was still tiny is shown from its top.
    view.ClearDisplay();
    view.resize(600, 40);
    show("first\nsecond");
    settle();
    view.resize(600, 300);
    settle();
    EXPECT_EQ(display()->firstVisibleLine(), 0);
    // A line longer than the view brings the horizontal scroll bar, which
    // takes height from the text.
    receiveLines(0, 100);
    show(QByteArray(400, 'w') + "\nend");
    settle();
    ASSERT_TRUE(display()->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(lastLineWhole());
    // With auto-scroll off, neither text nor a smaller window scrolls.
    settings.autoScroll = false;
    const int first = display()->firstVisibleLine();
    receiveLines(0, 10);
    view.resize(600, 70);
    settle();
    EXPECT_EQ(display()->firstVisibleLine(), first);
}

TEST_F(DisplayView, textAndSelectionKeepAMarginAndTheMouseHitsTheCharacterUnderIt)
{
    show("alpha beta gamma\nsecond line");
    settle();
    const int margin = CDisplayWidget::kTextMargin, rows = 2 * display()->lineHeight();
    const auto inkIn = [&](const QImage &img, int x0, int x1) {
        for (int y = 0; y < rows; ++y)
            for (int x = x0; x < x1; ++x)
                if (img.pixelColor(x, y) != QColor(Qt::white))
                    return true;
        return false;
    };
    EXPECT_FALSE(inkIn(shot(), 0, margin - 1));
    EXPECT_TRUE(inkIn(shot(), margin, margin + rows));
    EXPECT_EQ(display()->cellRect(0).left(), margin);
    display()->selectAll();
    settle();
    EXPECT_FALSE(inkIn(shot(), 0, margin - 1));
    EXPECT_EQ(shot().pixelColor(margin + 1, 1), display()->palette().color(QPalette::Highlight));

    QWidget *vp = display()->viewport();
    for (const auto &[offset, word] : {std::pair{0, "alpha"},
                                       {4, "alpha"},
                                       {7, "beta"},
                                       {9, "beta"},
                                       {15, "gamma"},
                                       {24, "line"},
                                       {27, "line"}}) {
        QTest::mouseDClick(vp, Qt::LeftButton, {}, display()->cellRect(offset).center());
        EXPECT_EQ(selected(), QString::fromLatin1(word)) << offset;
    }
    // Dragging from the margin starts at the first column; a cell's left half
    // belongs to the boundary before it.
    const int y = display()->cellRect(17).center().y();
    const QPointF to(display()->cellRect(24).left() + 1, y);
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(1, y));
    QMouseEvent move(QEvent::MouseMove, to, vp->mapToGlobal(to), Qt::LeftButton, Qt::LeftButton,
                     {});
    QCoreApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to.toPoint());
    EXPECT_EQ(selected(), QStringLiteral("second "));
}

TEST_F(DisplayView, findGoesToNextAndPreviousMatchesAndSaysWhenItWrapsOrFindsNothing)
{
    settings.autoScroll = false;
    receiveLines(0, 300);
    settle();
    find(QStringLiteral("LINE 1"));
    EXPECT_TRUE(view.findBar()->isVisible());
    EXPECT_TRUE(findText()->hasFocus());
    // Case-insensitive, from the top of the view on.
    EXPECT_EQ(selected(), QStringLiteral("line 1"));
    for (const auto &[mods, line] : {std::pair{Qt::NoModifier, 10},
                                     {Qt::NoModifier, 11},
                                     {Qt::ShiftModifier, 10},
                                     {Qt::ShiftModifier, 1}}) {
        key(Qt::Key_Return, mods);
        EXPECT_EQ(selectedLine(), line);
    }
    EXPECT_EQ(view.findBar()->message(), QString());
    // Before the first: on from the bottom, and the view goes there.
    key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selectedLine(), 199);
    EXPECT_EQ(view.findBar()->message(), QStringLiteral("Continued from the bottom"));
    settle();
    EXPECT_FALSE(display()->cellRect(display()->selectionStart()).isEmpty());
    key(Qt::Key_Return);
    EXPECT_EQ(selectedLine(), 1);
    EXPECT_EQ(view.findBar()->message(), QStringLiteral("Continued from the top"));

    // Typing on narrows the match where it is.
    QTest::keyClicks(findText(), QStringLiteral("9"));
    EXPECT_EQ(selected(), QStringLiteral("line 19"));
    const QColor base = QApplication::palette(findText()).color(QPalette::Base);
    QTest::keyClicks(findText(), QStringLiteral("x"));
    EXPECT_TRUE(view.findBar()->notFound());
    EXPECT_EQ(view.findBar()->message(), QStringLiteral("Not found"));
    EXPECT_NE(findText()->palette().color(QPalette::Base), base);
    key(Qt::Key_Backspace);
    EXPECT_FALSE(view.findBar()->notFound());
    EXPECT_EQ(findText()->palette().color(QPalette::Base), base);

    // The buttons do what the keys do; "Match case" narrows.
    view.findBar()->findChild<QAbstractButton *>("findNext")->click();
    EXPECT_EQ(selectedLine(), 190);
    view.findBar()->findChild<QAbstractButton *>("findMatchCase")->click();
    EXPECT_TRUE(view.findBar()->notFound());
    key(Qt::Key_Escape);
    EXPECT_FALSE(view.findBar()->isVisible());
    EXPECT_FALSE(display()->isHighlighting());

    // A short selection is what the bar looks for.
    view.ClearDisplay();
    show("first match\nsecond match");
    display()->select(6, 11);
    view.findAction()->trigger();
    EXPECT_EQ(findText()->text(), QStringLiteral("match"));
    key(Qt::Key_Return);
    EXPECT_EQ(display()->selectionStart(), 19);
}

TEST_F(DisplayView, matchesInViewAreMarkedAndTheCurrentOneSelected)
{
    show("temp 21\nhum 40\ntemp 22\nTEMP 23\n");
    find(QStringLiteral("temp"));
    settle();
    const auto colourAt = [&](const QImage &img, qsizetype offset) {
        return img.pixelColor(display()->cellRect(offset).topLeft() + QPoint(1, 0));
    };
    const QImage img = shot();
    const QColor marked = colourAt(img, 15);
    EXPECT_EQ(colourAt(img, 0), display()->palette().color(QPalette::Highlight)); // current
    EXPECT_NE(marked, QColor(Qt::white));
    EXPECT_NE(marked, colourAt(img, 0));
    EXPECT_EQ(colourAt(img, 23), marked);           // "TEMP": case does not matter
    EXPECT_EQ(colourAt(img, 8), QColor(Qt::white)); // "hum" is no match
    key(Qt::Key_Escape);
    settle();
    EXPECT_EQ(colourAt(shot(), 15), QColor(Qt::white));
}

TEST_F(DisplayView, findKeepsItsMatchWhileDataArrivesAndAutoScrollWaitsForIt)
{
    receiveLines(0, 100);
    settle();
    find(QStringLiteral("line 5"));
    // The first match is above the view at the end, from the top; the one
    // before it is the last of them.
    key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selectedLine(), 59);
    settle();
    const int first = display()->firstVisibleLine();
    receiveLines(100, 600);
    settle();
    // The match and the view stay; the bar says why the view does not move.
    EXPECT_EQ(selected(), QStringLiteral("line 5"));
    EXPECT_EQ(selectedLine(), 59);
    EXPECT_EQ(display()->firstVisibleLine(), first);
    EXPECT_EQ(view.findBar()->message(),
              QStringLiteral("Auto-scroll waits while a match is shown"));
    key(Qt::Key_Return); // the text that came is found too
    EXPECT_EQ(selectedLine(), 500);
    // Closed, the view follows the text again at once.
    key(Qt::Key_Escape);
    settle();
    EXPECT_TRUE(lastLineWhole());
}

} // namespace
