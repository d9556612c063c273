#include "input/HexEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Model = CHexEditModel;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

Bytes counting(int n)
{
    Bytes bytes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return bytes;
}

// Presses blank-separated keys, each written as QKeySequence spells it.
void press(QWidget *widget, const char *script)
{
    for (const QString &key : QString::fromLatin1(script).split(u' ', Qt::SkipEmptyParts))
        QTest::keySequence(widget, QKeySequence::fromString(key));
}

// The control as the main window sets it up (16 bytes per row, hex area only),
// `lines` whole lines high, shown and focused.
struct Edit
{
    CHexEdit edit;

    explicit Edit(const Bytes &data, int lines = 3)
    {
        edit.SetBytesPerRow(16);
        edit.SetOptions(false, true, false, false);
        edit.SetData(data.data(), static_cast<int>(data.size()));
        edit.resize(600, lines * edit.lineHeight() + 2 * edit.frameWidth());
        edit.show();
        QApplication::setActiveWindow(&edit);
        edit.setFocus();
    }
    const Model &model() const { return edit.model(); }
    Bytes bytes() const
    {
        Bytes out(static_cast<std::size_t>(edit.GetData(nullptr, 0)));
        edit.GetData(out.data(), static_cast<int>(out.size()));
        return out;
    }
    void keys(const char *script) { press(&edit, script); }
    void type(const char *text) { QTest::keyClicks(&edit, QString::fromLatin1(text)); }
    // Centre of a byte's cell: 0 high digit, 1 low digit, 2 the blank after it.
    QPoint at(int index, int cell) const
    {
        const int w = edit.characterWidth();
        const int line = index / 16 - model().top() / 16;
        return {((index % 16) * 3 + cell) * w + w / 2, line * edit.lineHeight() + 2};
    }
    QWidget *view() const { return edit.viewport(); }
};

QByteArray clipboardFormat(const char *mime)
{
    return QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(mime));
}

TEST(HexEditKeys, TypingSetsNibblesAndAppendsBehindTheLastByte)
{
    struct Row
    {
        Bytes data;
        const char *typed;
        Bytes expected;
        int caret;
        Model::Area area;
    } rows[] = {
        // Behind the last byte typing goes on: the data grows as it is typed.
        {{0x00}, "1f", {0x1F}, 1, Model::HighNibble},
        {{0x00}, "1f2", {0x1F, 0x20}, 1, Model::LowNibble},
        {{0x00}, "1f23", {0x1F, 0x23}, 2, Model::HighNibble},
        {{0x00}, "1fZ", {0x1F}, 1, Model::HighNibble},
        {{0x00}, "A", {0x00}, 0, Model::HighNibble},
        {{0x00}, "a", {0xA0}, 0, Model::LowNibble},
        {{0, 0, 0}, "12345", {0x12, 0x34, 0x50}, 2, Model::LowNibble},
        {{0x12, 0x34}, "gZ !", {0x12, 0x34}, 0, Model::HighNibble},
        // Tab switches to character entry and back.
        {{0, 0, 0}, "\tA\tb", {0x41, 0xB0, 0}, 1, Model::LowNibble},
        {{0x41}, "\tBC", {0x42, 0x43}, 2, Model::CharArea},
    };
    for (const Row &row : rows) {
        Edit e(row.data);
        e.type(row.typed);
        EXPECT_EQ(e.bytes(), row.expected) << row.typed;
        EXPECT_EQ(e.model().caret(), row.caret) << row.typed;
        EXPECT_EQ(e.model().area(), row.area) << row.typed;
    }
}

TEST(HexEditKeys, MovingInsertingAndDeleting)
{
    struct Row
    {
        Bytes data;
        const char *keys;
        Bytes expected;
        int caret, selStart, selEnd;
    } rows[] = {
        {{0x11}, "Left", {0x11}, 0, -1, -1},
        {{0x1F}, "Ins", {0x00, 0x1F}, 0, -1, -1},
        {{0x1F}, "Del", {0x1F}, 0, -1, -1},
        {{1, 2, 3}, "Right Right Del", {1, 3}, 1, -1, -1},
        // End goes behind the last byte, where Delete has nothing to delete.
        {{1, 2, 3}, "End Del", {1, 2, 3}, 3, -1, -1},
        {{1, 2, 3}, "End Backspace", {1, 2}, 2, -1, -1},
        {{1, 2, 3}, "End Left Del", {1, 2}, 2, -1, -1},
        {{1, 2}, "Right Right Right Right Right", {1, 2}, 2, -1, -1},
        {{1, 2}, "End Shift+Right", {1, 2}, 2, 2, 2},
        {{1, 2, 3}, "Right Right Backspace", {2, 3}, 0, -1, -1},
        {{1, 2}, "Backspace", {1, 2}, 0, -1, -1},
        {counting(8), "End Home Right Right", counting(8), 1, -1, -1},
        {counting(4), "Shift+Right Shift+Right", counting(4), 1, 0, 2},
        {counting(4), "Shift+Right Left", counting(4), 0, -1, -1},
        // A backwards selection inserts as many bytes as it holds.
        {{1, 2, 3, 4}, "End Shift+Home Ins", {0, 0, 0, 0, 1, 2, 3, 4}, 0, -1, -1},
    };
    for (const Row &row : rows) {
        Edit e(row.data);
        e.keys(row.keys);
        EXPECT_EQ(e.bytes(), row.expected) << row.keys;
        EXPECT_EQ(e.model().caret(), row.caret) << row.keys;
        EXPECT_EQ(e.model().selectionStart(), row.selStart) << row.keys;
        EXPECT_EQ(e.model().selectionEnd(), row.selEnd) << row.keys;
    }
}

TEST(HexEditKeys, HomeEndAndPagingOnDataLongerThanAPage)
{
    struct Row
    {
        const char *keys;
        int caret, top, selStart, selEnd;
    } rows[] = {
        {"End", 15, 0, -1, -1},
        {"Down Down Down", 48, 16, -1, -1},
        {"Ctrl+End", 100, 64, -1, -1},
        {"Ctrl+End Home", 96, 64, -1, -1},
        {"Ctrl+End Ctrl+Home", 0, 0, -1, -1},
        {"Right PgDown", 48, 48, -1, -1},
        {"PgDown PgDown PgDown", 64, 64, -1, -1},
        {"PgDown PgDown PgUp", 16, 16, -1, -1},
        {"Shift+PgDown", 48, 48, 0, 48},
        {"Ctrl+Shift+End", 100, 64, 0, 100},
        {"Shift+Down", 16, 0, 0, 17},
    };
    for (const Row &row : rows) {
        Edit e(counting(100));
        ASSERT_EQ(e.model().linesPerPage(), 3);
        e.keys(row.keys);
        EXPECT_EQ(e.model().caret(), row.caret) << row.keys;
        EXPECT_EQ(e.model().top(), row.top) << row.keys;
        EXPECT_EQ(e.model().selectionStart(), row.selStart) << row.keys;
        EXPECT_EQ(e.model().selectionEnd(), row.selEnd) << row.keys;
        EXPECT_EQ(e.edit.verticalScrollBar()->value(), row.top / 16) << row.keys;
        EXPECT_EQ(e.edit.verticalScrollBar()->maximum(), 4);
    }
}

TEST(HexEditKeys, EnterEmitsBeforeHandlingAndKeepsTheData)
{
    Edit e({0x12, 0x34});
    QSignalSpy spy(&e.edit, &CHexEdit::enterPressed);
    e.keys("Return");
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(e.bytes(), (Bytes{0x12, 0x34}));

    // Clearing the input from the signal, as the sender does, leaves 0x00.
    const std::uint8_t zero = 0;
    QObject::connect(&e.edit, &CHexEdit::enterPressed, [&] { e.edit.SetData(&zero, 1); });
    e.keys("Enter");
    EXPECT_EQ(e.bytes(), Bytes{0x00});

    CHexEdit empty;
    QSignalSpy none(&empty, &CHexEdit::enterPressed);
    press(&empty, "Return 1 Ins");
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(empty.GetData(nullptr, 0), 0);
}

TEST(HexEditKeys, WindowShortcutsLeaveEditingKeysToTheControl)
{
    Edit e({1, 2, 3});
    int windowEdits = 0, hotkeys = 0;
    QAction del, copy, hotkey;
    del.setShortcut(QKeySequence::Delete);
    copy.setShortcut(QKeySequence::Copy);
    hotkey.setShortcut(Qt::Key_F5);
    e.edit.addActions({&del, &copy, &hotkey});
    QObject::connect(&del, &QAction::triggered, [&] { ++windowEdits; });
    QObject::connect(&copy, &QAction::triggered, [&] { ++windowEdits; });
    QObject::connect(&hotkey, &QAction::triggered, [&] { ++hotkeys; });

    e.keys("Del 1 Ctrl+A Ctrl+C F5");
    EXPECT_EQ(windowEdits, 0);
    EXPECT_EQ(hotkeys, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("12 03 "));
}

TEST(HexEditClipboard, CopyCutAndDeleteActOnTheBytesShown)
{
    struct Row
    {
        const char *keys;
        const char *text;
        Bytes remaining;
        int caret;
    } rows[] = {
        // Shift+Left on byte 5's high nibble selects byte 4 only.
        {"Right Right Right Right Right Right Right Right Right Right Shift+Left",
         "04 ",
         {0, 1, 2, 3, 5, 6, 7},
         4},
        // Down on the last line goes behind the last byte.
        {"Down End Left Left Left Left Shift+Home", "00 01 02 03 04 05 ", {6, 7}, 0},
        {"Right Right Shift+End Shift+Right Shift+Right", "01 02 03 04 05 06 07 ", {0}, 1},
        {"Ctrl+A", "00 01 02 03 04 05 06 07 ", counting(8), 0},
    };
    for (const Row &row : rows) {
        for (const bool cut : {false, true}) {
            Edit e(counting(8));
            e.keys(row.keys);
            const Bytes selected = e.model().selectedBytes();
            e.keys(cut ? "Ctrl+X" : "Ctrl+C Del");
            EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), row.text) << row.keys;
            const QByteArray binary = clipboardFormat(CHexEdit::kWindowsBinaryMime);
            EXPECT_EQ(Bytes(binary.begin(), binary.end()), selected) << row.keys;
            EXPECT_EQ(clipboardFormat(CHexEdit::kBinaryMime), binary) << row.keys;
            EXPECT_EQ(e.bytes(), row.remaining) << row.keys << " cut " << cut;
            EXPECT_EQ(e.model().caret(), row.caret) << row.keys << " cut " << cut;
            EXPECT_FALSE(e.model().hasSelection());
        }
    }
}

TEST(HexEditClipboard, NoSelectionCopiesNothingAndCharacterAreaCopiesText)
{
    Edit e({'A', 0x1F, 0x20, 0x7E, 0x7F, 'z'});
    QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
    e.keys("Ctrl+C");
    e.edit.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));

    // Characters are typed in Windows-1252; copied as text, unprintable bytes show as ".".
    e.keys("Tab");
    QTest::sendKeyEvent(QTest::Click, &e.edit, Qt::Key_unknown, QStringLiteral("\u20ac"), kNone);
    e.edit.selectAll();
    EXPECT_TRUE(e.model().caretHidden());
    e.edit.copy();
    EXPECT_EQ(e.bytes(), (Bytes{0x80, 0x1F, 0x20, 0x7E, 0x7F, 'z'}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral(".. ~.z"));
}

TEST(HexEditMouse, ClicksPlaceTheCaretOnABytesNibbleOrBehindTheData)
{
    struct Row
    {
        int index, cell;
        int caret;
        Model::Area area;
    } rows[] = {
        {2, 0, 2, Model::HighNibble}, {2, 1, 2, Model::LowNibble},  {2, 2, 3, Model::HighNibble},
        {4, 2, 5, Model::HighNibble}, {9, 1, 5, Model::HighNibble}, {20, 0, 0, Model::HighNibble},
    };
    for (const Row &row : rows) {
        Edit e(counting(5));
        QTest::mouseClick(e.view(), Qt::LeftButton, kNone, e.at(row.index, row.cell));
        EXPECT_EQ(e.model().caret(), row.caret) << row.index << "/" << row.cell;
        EXPECT_EQ(e.model().area(), row.area) << row.index << "/" << row.cell;
    }
    // Right of the hexadecimal area, or above and left of it: misses.
    Edit e(counting(5));
    e.keys("Right");
    for (const QPoint p : {QPoint(49 * e.edit.characterWidth(), 2), QPoint(-3, 2), QPoint(3, -3)})
        QTest::mouseClick(e.view(), Qt::LeftButton, kNone, p);
    EXPECT_EQ(e.model().caret(), 0);
    EXPECT_EQ(e.model().area(), Model::LowNibble);
}

TEST(HexEditMouse, DraggingAndShiftClickSelect)
{
    Edit e(counting(100));
    QTest::mousePress(e.view(), Qt::LeftButton, kNone, e.at(1, 0));
    QTest::mouseMove(e.view(), e.at(20, 1));
    QTest::mouseRelease(e.view(), Qt::LeftButton, kNone, e.at(20, 1));
    EXPECT_EQ(e.model().selectionStart(), 1);
    EXPECT_EQ(e.model().selectionEnd(), 21);
    EXPECT_TRUE(e.model().caretHidden());

    QTest::mouseClick(e.view(), Qt::LeftButton, kNone, e.at(3, 0));
    EXPECT_FALSE(e.model().hasSelection());
    EXPECT_TRUE(e.edit.isCaretShown());
    QTest::mouseClick(e.view(), Qt::LeftButton, kShift, e.at(6, 1));
    EXPECT_EQ(e.model().selectionStart(), 3);
    EXPECT_EQ(e.model().selectionEnd(), 7);

    // Dragging below the view scrolls it one line per move.
    QTest::mousePress(e.view(), Qt::LeftButton, kNone, e.at(0, 0));
    QTest::mouseMove(e.view(), QPoint(5, e.view()->height() + 10));
    QTest::mouseMove(e.view(), QPoint(5, e.view()->height() + 12));
    QTest::mouseRelease(e.view(), Qt::LeftButton, kNone, QPoint(5, e.view()->height() + 12));
    EXPECT_EQ(e.model().top(), 32);
    EXPECT_EQ(e.model().selectionStart(), 0);
    EXPECT_EQ(e.model().selectionEnd(), 65);
}

TEST(HexEditModel, PageSizeFollowsTheDataAndTheView)
{
    struct Row
    {
        int length, clientLines, linesPerPage;
        bool partial;
        int maxTop;
    } rows[] = {
        // The page holds the append position behind the last byte too.
        {1, 3, 1, true, 0},     {24, 3, 2, true, 0},    {32, 3, 3, true, 0},
        {100, 3, 3, false, 64}, {100, 0, 1, false, 96}, {96, 2, 2, false, 80},
    };
    for (const Row &row : rows) {
        Model m;
        m.setBytesPerRow(16);
        m.setData(counting(row.length).data(), row.length);
        m.setClientLines(row.clientLines);
        EXPECT_EQ(m.linesPerPage(), row.linesPerPage) << row.length;
        EXPECT_EQ(m.lastLinePartial(), row.partial) << row.length;
        EXPECT_EQ(m.maxTop(), row.maxTop) << row.length;
    }
}

TEST(HexEditModel, BadInputHasDefinedResults)
{
    Model m;
    std::uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(m.getData(buffer, 4), 0);
    m.keyDown(Model::Key::Insert, false, false);
    m.character('1', false);
    m.mousePress(0, 0, false);
    EXPECT_FALSE(m.hasData());

    m.setData(nullptr, 5);
    EXPECT_EQ(m.data(), Bytes{0});
    m.setData(counting(3).data(), 0);
    EXPECT_EQ(m.data(), Bytes{0});
    m.setData(counting(10).data(), 10);
    EXPECT_EQ(m.getData(buffer, 2), 10);
    EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0, 1, 9, 9}));
    EXPECT_EQ(m.getData(nullptr, -1), 10);

    m.setBytesPerRow(0);
    EXPECT_EQ(m.bytesPerRow(), 1);
    m.setBytesPerRow(1 << 30);
    EXPECT_EQ(m.bytesPerRow(), Model::kMaxBytesPerRow);
    EXPECT_FALSE(m.hitTest(0, -1));
    EXPECT_FALSE(m.hitTest(-1, 0));

    const Bytes big(Model::kMaxLength + 5, 0x55);
    m.setData(big.data(), static_cast<int>(big.size()));
    m.keyDown(Model::Key::Insert, false, false);
    EXPECT_EQ(m.length(), Model::kMaxLength);
    // A full input has no append position: typing at its end overwrites.
    m.keyDown(Model::Key::End, false, true);
    EXPECT_EQ(m.caret(), Model::kMaxLength - 1);
    for (const char c : {'1', '2', '3'})
        m.character(static_cast<std::uint8_t>(c), false);
    EXPECT_EQ(m.length(), Model::kMaxLength);
    EXPECT_EQ(m.data().back(), 0x32);
}

TEST(HexEditModel, CtrlCCopiesOnlyASelectionAndTypesNothing)
{
    Model m;
    m.setBytesPerRow(16);
    m.setData(counting(4).data(), 4);
    EXPECT_EQ(m.character(0x03, true), Model::CharResult::None); // nothing selected
    m.selectAll();
    EXPECT_EQ(m.character(0x03, true), Model::CharResult::Copy);
    EXPECT_EQ(m.character(0x16, true), Model::CharResult::None); // Ctrl+V
    EXPECT_TRUE(m.hasSelection());
    EXPECT_EQ(m.character(0x03, false), Model::CharResult::None); // a plain 0x03 is typing
    EXPECT_FALSE(m.hasSelection());
    EXPECT_EQ(m.data(), counting(4));
}

// Long random key and mouse sequences: the data never empties and caret,
// selection and view stay inside it (run under AddressSanitizer too).
TEST(HexEditFuzz, RandomInputKeepsTheInvariants)
{
    Edit e(counting(40), 4);
    std::mt19937 random(20240611);
    auto pick = [&](int n) {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    // Enter loads fresh data of random length, as a hotkey would.
    QObject::connect(&e.edit, &CHexEdit::enterPressed, [&] {
        const Bytes fresh = counting(pick(300));
        e.edit.SetData(fresh.data(), static_cast<int>(fresh.size()));
    });
    const QStringList keys = QStringLiteral("Left Right Up Down PgUp PgDown Home End Ins Ins Ins "
                                            "Del Backspace Tab Return A C X F 7")
                                 .split(u' ');
    const Qt::KeyboardModifiers mods[] = {kNone, kNone, kShift, kCtrl, kShift | kCtrl};
    QScrollBar *bar = e.edit.verticalScrollBar();
    for (int step = 0; step < 6000; ++step) {
        const int action = pick(20);
        const QPoint p(pick(700) - 50, pick(120) - 30);
        if (action < 12) {
            const Qt::Key key = QKeySequence::fromString(keys[pick(20)])[0].key();
            QTest::keyClick(&e.edit, key, mods[pick(5)]);
        } else if (action == 12) {
            QTest::mousePress(e.view(), Qt::LeftButton, mods[pick(3)], p);
        } else if (action == 13) {
            QTest::mouseMove(e.view(), p);
        } else if (action == 14) {
            QTest::mouseRelease(e.view(), Qt::LeftButton, kNone, p);
        } else if (action == 15) {
            e.edit.SetBytesPerRow(pick(40) - 4);
        } else if (action == 16) {
            e.edit.SetOptions(pick(2), pick(2), pick(2), pick(2));
        } else if (action == 17) {
            e.edit.resize(pick(600) + 20, pick(100) + 5);
        } else if (action == 18) {
            e.edit.repaint();
        } else if (pick(2) == 0) {
            bar->triggerAction(static_cast<QAbstractSlider::SliderAction>(pick(8)));
        } else {
            bar->setSliderPosition(pick(30) - 5);
        }
        const Model &m = e.model();
        ASSERT_GE(m.length(), 1);
        ASSERT_LE(m.length(), Model::kMaxLength);
        ASSERT_GE(m.caret(), 0);
        ASSERT_LE(m.caret(), m.caretLimit());
        if (m.caret() == m.length()) {
            ASSERT_NE(m.area(), Model::LowNibble);
        }
        if (m.hasSelection()) {
            ASSERT_LE(m.selectionHigh(), m.length());
            ASSERT_GE(m.selectionLow(), 0);
        } else {
            ASSERT_EQ(m.selectionEnd(), -1);
        }
        ASSERT_EQ(m.top() % m.bytesPerRow(), 0);
        ASSERT_GE(m.top(), 0);
        ASSERT_LE(m.top(), m.maxTop());
        ASSERT_GE(m.linesPerPage(), 1);
    }
}

} // namespace
