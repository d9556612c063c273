#include "Pixels.h"
#include "display/DisplayWidget.h"
#include "display/LogFile.h"
#include "display/ReceivedBlockQueue.h"
#include "display/RuKTerminalView.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecordingHost : public CDisplayHost
{
public:
    void CheckReceiveTriggers(const std::uint8_t *data, int length) override
    {
        triggered.append(reinterpret_cast<const char *>(data), length);
    }
    QByteArray triggered;
};

class TerminalViewTest : public ::testing::Test
{
protected:
    TerminalViewTest()
        : view(settings, table, &host)
    {
        view.resize(600, 300);
        view.show();
        QApplication::processEvents();
        setClockForTesting([this] { return now; });
    }
    ~TerminalViewTest() override { setClockForTesting({}); }

    void receive(const QByteArray &bytes) { show(bytes, true); }
    void send(const QByteArray &bytes) { show(bytes, false); }
    void show(const QByteArray &bytes, bool received)
    {
        view.AppendToDisplay(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                             static_cast<int>(bytes.size()), received);
    }
    QByteArray text() const { return view.widget()->buffer().text(); }
    // Text with each colour run marked: "[B]" blue, "[R]" red.
    QByteArray colouredText() const
    {
        const CDisplayBuffer &b = view.widget()->buffer();
        QByteArray out;
        const auto &runs = b.colorRuns();
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const qsizetype end = i + 1 < runs.size() ? runs[i + 1].start : b.length();
            out += runs[i].color == CRuKTerminalView::kReceivedColor ? "[B]" : "[R]";
            out += b.text().mid(runs[i].start, end - runs[i].start);
        }
        return out;
    }

    DisplaySettings settings;
    CharMapTable table;
    RecordingHost host;
    CRuKTerminalView view;
    LocalTime now{2026, 12, 5, 10, 22, 24, 31};
};

TEST_F(TerminalViewTest, timestampsStartEachLine)
{
    settings.timestampPerLine = true;
    receive("X\nY\n");
    now.second = 25;
    receive("Z");
    send("B");
    EXPECT_EQ(text(), QByteArray("05.12.2026 10:22:24.031 - X\n"
                                 "05.12.2026 10:22:24.031 - Y\n"
                                 "05.12.2026 10:22:25.031 - ZB"));
    EXPECT_FALSE(settings.lineStartPending);
    // A lone CR inside a block is a line break with its timestamp too.
    receive("1\r2");
    EXPECT_TRUE(text().endsWith("ZB1\n05.12.2026 10:22:25.031 - 2"));
}

TEST_F(TerminalViewTest, hexModeStartsANewLinePerDirection)
{
    settings.hexMode = true;
    QByteArray twenty(20, 'A');
    receive(twenty);
    send("\x01");
    receive("\x02");
    EXPECT_EQ(colouredText(), QByteArray("[B]\n41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 "
                                         "\n41 41 41 41 [R]\n01 [B]\n02 "));
    EXPECT_EQ(view.hexColumnReceived(), 1);
    EXPECT_EQ(view.hexColumnSent(), 0);
    view.ClearDisplay();
    EXPECT_EQ(text(), QByteArray());
    EXPECT_EQ(view.hexColumnReceived(), 0);
}

TEST_F(TerminalViewTest, displayLimitEmptiesTheDisplayBeforeTheNextBlock)
{
    settings.displayLimitOn = true;
    settings.displayLimit = 1024;
    receive(QByteArray(1100, 'a'));
    EXPECT_EQ(text().size(), 1100);
    receive("next");
    EXPECT_EQ(text(), QByteArray("next"));
    settings.displayLimitOn = false;
    receive(QByteArray(2000, 'b'));
    receive("c");
    EXPECT_EQ(text().size(), 2005);
}

TEST_F(TerminalViewTest, autoScrollKeepsTheNewestLineInView)
{
    QByteArray lines;
    for (int i = 0; i < 200; ++i)
        lines += "line " + QByteArray::number(i) + "\n";
    settings.autoScroll = false;
    receive(lines);
    EXPECT_EQ(view.widget()->firstVisibleLine(), 0);
    settings.autoScroll = true;
    receive("last");
    const int last = view.widget()->buffer().lineCount() - 1;
    EXPECT_EQ(view.widget()->firstVisibleLine(), last - view.visibleLines());
    EXPECT_GT(view.visibleLines(), 3);
}

TEST_F(TerminalViewTest, triggersGetReceivedBlocksOnlyWhileAutoReplyIsSet)
{
    receive("one");
    settings.autoReplyMask = 1;
    receive("two");
    send("three");
    settings.hexMode = true;
    receive("four");
    EXPECT_EQ(host.triggered, QByteArray("twofour"));
}

TEST_F(TerminalViewTest, logFileGetsRawBytesOrTheRenderedTextOncePerSlice)
{
    QTemporaryDir dir;
    settings.loggingOn = true;
    settings.logFilePath = dir.filePath(QStringLiteral("log.txt"));
    const auto log = [&] {
        QFile f(settings.logFilePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    };
    receive(QByteArray("\x00\x02"
                       "a\r\n",
                       5));
    settings.timestampPerLine = true;
    receive("b\n");
    settings.timestampPerLine = false;
    settings.hexMode = true;
    receive("\x01");
    // Written when the event loop turns: one open, append and close for all.
    EXPECT_EQ(log(), QByteArray("<none>"));
    QApplication::processEvents();
    EXPECT_EQ(log(), QByteArray("\x00\x02"
                                "a\r\n",
                                5)
                         + "05.12.2026 10:22:24.031 - b\n" + "\x01");
    // A log that cannot be written leaves the display alone.
    settings.logFilePath = dir.filePath(QStringLiteral("missing/log.txt"));
    settings.hexMode = false;
    receive("ok");
    QApplication::processEvents();
    EXPECT_TRUE(text().endsWith("ok"));
    EXPECT_TRUE(view.logStatus().failing);
}

TEST_F(TerminalViewTest, eachPieceOfALineIsPaintedInItsOwnColour)
{
    receive("received and ");
    send("sent");
    const QImage image = view.widget()->viewport()->grab().toImage();
    const BlueAndRed found = blueAndRed(image);
    EXPECT_TRUE(found.blue);
    EXPECT_TRUE(found.red);
}

TEST_F(TerminalViewTest, doubleClickSelectsTheWordUnderThePointer)
{
    receive("hello world\r\nnext");
    CDisplayWidget *w = view.widget();
    const int cw = QFontMetrics(w->font()).horizontalAdvance(u'M');
    const int h = w->lineHeight();
    const struct
    {
        int column, line;
        const char *word;
    } rows[] = {{1, 0, "hello"}, {8, 0, "world"}, {10, 0, "world"}, {2, 1, "next"}};
    for (const auto &row : rows) {
        QTest::mouseDClick(w->viewport(), Qt::LeftButton, {},
                           QPoint(row.column * cw, row.line * h + h / 2));
        EXPECT_EQ(w->selectedText(), QLatin1String(row.word)) << row.column << "/" << row.line;
    }
}

TEST_F(TerminalViewTest, theDisplayDropsItsOldestTextBeyondItsHardLimit)
{
    settings.autoScroll = false;
    const QByteArray block = QByteArray(1000, 'x') + "\r\n";
    qint64 fed = 0;
    int n = 0;
    while (fed < CRuKTerminalView::kHardLimit + CRuKTerminalView::kHardLimit / 2) {
        receive(QByteArray::number(n++) + block);
        fed += block.size();
    }
    send("sent");
    const CDisplayBuffer &b = view.widget()->buffer();
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
    QByteArray huge(CRuKTerminalView::kHardLimit, 'h');
    huge.append("end");
    receive(huge);
    EXPECT_EQ(b.lineCount(), 2);
    EXPECT_TRUE(text().startsWith("[Older text was removed here"));
    EXPECT_EQ(b.lineLength(1), CRuKTerminalView::kHardLimit / 2);
    EXPECT_TRUE(text().endsWith("hhend"));
}

TEST_F(TerminalViewTest, queuedBlocksAreShownInOrderOnce)
{
    ClearReceivedQueue();
    const std::uint8_t a[] = {'a'};
    const std::uint8_t b[] = {'b', 'c'};
    QueueReceivedBlock(a, 1);
    QueueReceivedBlock(b, 2);
    EXPECT_TRUE(view.ShowNextReceivedBlock());
    EXPECT_TRUE(view.ShowNextReceivedBlock());
    EXPECT_FALSE(view.ShowNextReceivedBlock());
    EXPECT_EQ(text(), QByteArray("abc"));
    QueueReceivedBlock(a, 1);
    ClearReceivedQueue();
    EXPECT_FALSE(view.ShowNextReceivedBlock());
}

} // namespace
