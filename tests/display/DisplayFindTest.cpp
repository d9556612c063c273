// What the user sees of the display: the last line whole under auto-scroll,
// the text off the left border, the mouse on the right character, and the
// find bar over text that keeps arriving.
#include "display/DisplayWidget.h"
#include "display/FindBar.h"
#include "display/RuKTerminalView.h"
#include "support/EventLoopWait.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class DisplayFindTest : public ::testing::Test
{
protected:
    DisplayFindTest()
        : view(settings, table, nullptr)
    {
        view.resize(600, 300);
        view.show();
        QApplication::processEvents();
    }
    void receive(const QByteArray &bytes)
    {
        view.AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                             static_cast<int>(bytes.size()), true);
    }
    void receiveLines(int from, int to, const char *word = "line")
    {
        QByteArray lines;
        for (int i = from; i < to; ++i)
            lines += QByteArray(word) + ' ' + QByteArray::number(i) + '\n';
        receive(lines);
    }
    // Lets pending scrolls and repaints happen.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    CDisplayWidget *display() const { return view.widget(); }
    int viewportHeight() const { return display()->viewport()->height(); }
    QRect lastLineCell() const
    {
        const CDisplayBuffer &b = display()->buffer();
        return display()->cellRect(b.lineStart(b.lineCount() - 1));
    }
    QImage shot() const { return display()->viewport()->grab().toImage(); }
    QLineEdit *findText() const { return view.findBar()->findChild<QLineEdit *>("findText"); }
    void type(const QString &text)
    {
        view.findAction()->trigger();
        findText()->clear();
        QTest::keyClicks(findText(), text);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(findText(), k, mods);
    }
    QString selected() const { return display()->selectedText(); }
    int selectedLine() const
    {
        return display()->buffer().lineOfOffset(display()->selectionStart());
    }

    DisplaySettings settings;
    CharMapTable table;
    CRuKTerminalView view;
};

TEST_F(DisplayFindTest, autoScrollShowsTheLastLineWholeAtAnyHeightAndFont)
{
    for (int pixels : {9, 12, 17, 23}) {
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::Monospace);
        font.setPixelSize(pixels);
        display()->setDisplayFont(font);
        for (int height : {61, 100, 157, 233, 301, 420}) {
            view.resize(600, height);
            receiveLines(0, 150);
            receive("last");
            settle();
            const QRect cell = lastLineCell();
            const int capacity = display()->visibleLineCapacity();
            ASSERT_FALSE(cell.isEmpty()) << pixels << " px, " << height;
            EXPECT_LE(cell.bottom() + 1, viewportHeight()) << pixels << " px, " << height;
            // It is the last line in view: no empty row is left below it.
            EXPECT_EQ(cell.top() / display()->lineHeight(), capacity - 1)
                << pixels << " px, " << height;
            view.ClearDisplay();
        }
    }
}

TEST_F(DisplayFindTest, theLastLineStaysWholeWhenTheViewShrinksOrGetsAScrollBar)
{
    receiveLines(0, 100);
    settle();
    for (int height : {250, 173, 120, 90}) {
        view.resize(600, height);
        settle();
        const QRect cell = lastLineCell();
        ASSERT_FALSE(cell.isEmpty()) << height;
        EXPECT_LE(cell.bottom() + 1, viewportHeight()) << height;
    }
    // Grown again, the view fills with the text above, not with room below.
    view.resize(600, 300);
    settle();
    EXPECT_EQ(lastLineCell().top() / display()->lineHeight(), display()->visibleLineCapacity() - 1);
    // Text that came while the window was still tiny is shown from its top.
    view.ClearDisplay();
    view.resize(600, 40);
    receive("first\nsecond");
    settle();
    view.resize(600, 300);
    settle();
    EXPECT_EQ(display()->firstVisibleLine(), 0);
    receiveLines(0, 100);
    settle();
    // A line longer than the view brings the horizontal scroll bar, which
    // takes height from the text.
    receive(QByteArray(400, 'w') + "\nend");
    settle();
    ASSERT_TRUE(display()->horizontalScrollBar()->isVisible());
    ASSERT_FALSE(lastLineCell().isEmpty());
    EXPECT_LE(lastLineCell().bottom() + 1, viewportHeight());
    // With auto-scroll off, a smaller window does not scroll.
    settings.autoScroll = false;
    const int first = display()->firstVisibleLine();
    view.resize(600, 70);
    settle();
    EXPECT_EQ(display()->firstVisibleLine(), first);
}

TEST_F(DisplayFindTest, textAndSelectionKeepAMarginFromTheLeftBorder)
{
    receive("MMMM\nMMMM");
    settle();
    const int margin = CDisplayWidget::kTextMargin;
    const auto inkIn = [](const QImage &img, int x0, int x1, int rows) {
        for (int y = 0; y < rows; ++y)
            for (int x = x0; x < x1; ++x)
                if (img.pixelColor(x, y) != QColor(Qt::white))
                    return true;
        return false;
    };
    const int rows = 2 * display()->lineHeight();
    QImage img = shot();
    EXPECT_FALSE(inkIn(img, 0, margin - 1, rows));
    EXPECT_TRUE(inkIn(img, margin, margin + 2 * display()->lineHeight(), rows));
    EXPECT_EQ(display()->cellRect(0).left(), margin);

    display()->selectAll();
    settle();
    img = shot();
    EXPECT_FALSE(inkIn(img, 0, margin - 1, rows));
    EXPECT_EQ(img.pixelColor(margin + 1, 1), display()->palette().color(QPalette::Highlight));
}

TEST_F(DisplayFindTest, clicksAndDoubleClicksHitTheCharacterUnderThePointer)
{
    receive("alpha beta gamma\nsecond line");
    settle();
    QWidget *vp = display()->viewport();
    struct Case
    {
        qsizetype offset; // a character of the word clicked twice
        const char *word;
    };
    for (const Case &c : {Case{0, "alpha"}, Case{7, "beta"}, Case{15, "gamma"}, Case{24, "line"}}) {
        QTest::mouseDClick(vp, Qt::LeftButton, Qt::NoModifier,
                           display()->cellRect(c.offset).center());
        EXPECT_EQ(selected(), QString::fromLatin1(c.word)) << c.offset;
    }
    // Dragging from the margin starts at the first column; a cell's left half
    // belongs to the boundary before it.
    const int y = display()->cellRect(17).center().y();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, QPoint(1, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(display()->cellRect(24).left() + 1, y),
                     vp->mapToGlobal(QPointF(display()->cellRect(24).left() + 1, y)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, display()->cellRect(24).topLeft());
    EXPECT_EQ(selected(), QStringLiteral("second "));
}

TEST_F(DisplayFindTest, findGoesToNextAndPreviousMatchesAndSaysWhenItWrapsOrFindsNothing)
{
    settings.autoScroll = false;
    receiveLines(0, 300);
    settle();
    type(QStringLiteral("LINE 1"));
    EXPECT_TRUE(view.findBar()->isVisible());
    EXPECT_TRUE(findText()->hasFocus());
    // Case-insensitive, from the top of the view on.
    EXPECT_EQ(selected(), QStringLiteral("line 1"));
    EXPECT_EQ(selectedLine(), 1);
    key(Qt::Key_Return);
    EXPECT_EQ(selectedLine(), 10);
    key(Qt::Key_Return);
    EXPECT_EQ(selectedLine(), 11);
    key(Qt::Key_Return, Qt::ShiftModifier);
    key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selectedLine(), 1);
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
    QTest::keyClicks(findText(), QStringLiteral("x"));
    EXPECT_TRUE(view.findBar()->notFound());
    EXPECT_EQ(view.findBar()->message(), QStringLiteral("Not found"));
    EXPECT_NE(findText()->palette().color(QPalette::Base),
              QApplication::palette(findText()).color(QPalette::Base));
    key(Qt::Key_Backspace);
    EXPECT_FALSE(view.findBar()->notFound());
    EXPECT_EQ(findText()->palette().color(QPalette::Base),
              QApplication::palette(findText()).color(QPalette::Base));

    // The buttons do what the keys do; "Match case" narrows.
    view.findBar()->findChild<QAbstractButton *>("findNext")->click();
    EXPECT_EQ(selectedLine(), 190);
    view.findBar()->findChild<QAbstractButton *>("findMatchCase")->click();
    EXPECT_TRUE(view.findBar()->notFound());

    key(Qt::Key_Escape);
    EXPECT_FALSE(view.findBar()->isVisible());
    EXPECT_FALSE(display()->isHighlighting());
}

TEST_F(DisplayFindTest, matchesInViewAreMarkedAndTheCurrentOneSelected)
{
    receive("temp 21\nhum 40\ntemp 22\nTEMP 23\n");
    settle();
    type(QStringLiteral("temp"));
    settle();
    const QImage img = shot();
    const auto colourAt = [&](qsizetype offset) {
        return img.pixelColor(display()->cellRect(offset).topLeft() + QPoint(1, 0));
    };
    const QColor highlight = display()->palette().color(QPalette::Highlight);
    EXPECT_EQ(colourAt(0), highlight); // the current match
    const QColor marked = colourAt(15);
    EXPECT_NE(marked, QColor(Qt::white));
    EXPECT_NE(marked, highlight);
    EXPECT_EQ(colourAt(23), marked);           // "TEMP": case does not matter
    EXPECT_EQ(colourAt(8), QColor(Qt::white)); // "hum" is no match
    key(Qt::Key_Escape);
    settle();
    EXPECT_EQ(shot().pixelColor(display()->cellRect(15).topLeft() + QPoint(1, 0)),
              QColor(Qt::white));
}

TEST_F(DisplayFindTest, findKeepsItsMatchWhileDataArrivesAndAutoScrollWaitsForIt)
{
    receiveLines(0, 100);
    settle();
    type(QStringLiteral("line 5"));
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
    // The text that came is found too.
    key(Qt::Key_Return);
    EXPECT_EQ(selectedLine(), 500);
    // Closed, the view follows the text again at once.
    key(Qt::Key_Escape);
    settle();
    ASSERT_FALSE(lastLineCell().isEmpty());
    EXPECT_LE(lastLineCell().bottom() + 1, viewportHeight());
}

TEST_F(DisplayFindTest, aShortSelectionIsWhatTheBarLooksFor)
{
    receive("first match\nsecond match");
    settle();
    display()->select(6, 11);
    view.findAction()->trigger();
    EXPECT_EQ(findText()->text(), QStringLiteral("match"));
    key(Qt::Key_Return);
    EXPECT_EQ(display()->selectionStart(), 19);
}

} // namespace
