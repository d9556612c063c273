#include "input/HexEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Model = CHexEditModel;

Bytes counting(int n)
{
    Bytes bytes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return bytes;
}

// Caret and area ("@5H": byte 5, high nibble), selection and first byte shown.
std::string state(const Model &m)
{
    std::string s = "@" + std::to_string(m.caret()) + "ACHL"[m.area()];
    if (m.selectionEnd() != -1)
        s += " sel" + std::to_string(m.selectionStart()) + "-" + std::to_string(m.selectionEnd());
    return m.top() ? s + " top" + std::to_string(m.top()) : s;
}

// The control as the main window sets it up (16 bytes per row, hex area only),
// three lines high, shown and focused.
struct Edit
{
    CHexEdit edit;

    explicit Edit(const Bytes &data)
    {
        edit.SetBytesPerRow(16);
        edit.SetOptions(false, true, false, false);
        edit.SetData(data.data(), static_cast<int>(data.size()));
        edit.resize(600, 3 * edit.lineHeight() + 2 * edit.frameWidth());
        edit.show();
        QApplication::setActiveWindow(&edit);
        edit.setFocus();
    }
    const Model &model() const { return edit.model(); }
    // Blank-separated keys as QKeySequence spells them; 'text types the text.
    void keys(const char *script)
    {
        for (const QString &key : QString::fromLatin1(script).split(u' ', Qt::SkipEmptyParts)) {
            if (key.startsWith(u'\''))
                QTest::keyClicks(&edit, key.mid(1));
            else
                QTest::keySequence(&edit, QKeySequence::fromString(key));
        }
    }
};

QByteArray clipboard(const char *mime)
{
    return QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(mime));
}

TEST(HexEdit, KeysTypeMoveSelectPageAndUseTheClipboard)
{
    const struct
    {
        Bytes data;
        const char *keys;
        Bytes expected; // empty: the data unchanged
        const char *state;
        const char *copied = nullptr; // the clipboard's text afterwards
        int perRow = 16;
    } rows[] = {
        // Behind the last byte typing goes on: the data grows as it is typed.
        {{0x00}, "'1f23", {0x1F, 0x23}, "@2H"},
        {{0, 0, 0}, "'12345", {0x12, 0x34, 0x50}, "@2L"},
        {{0x12, 0x34}, "'AgZ !", {}, "@0H"},
        // Tab switches to character entry and back.
        {{0x41}, "Tab 'BC Tab 'b", {0x42, 0x43, 0xB0}, "@2L"},
        {{0x1F}, "Ins Del Del", {}, "@0H"},
        {{1, 2, 3}, "Right Right Del Backspace", {3}, "@0H"},
        // End goes behind the last byte, where Delete has nothing to delete.
        {{1, 2, 3}, "End Del Backspace", {1, 2}, "@2H"},
        // A backwards selection inserts as many bytes as it holds.
        {{1, 2, 3, 4}, "End Shift+Home Ins", {0, 0, 0, 0, 1, 2, 3, 4}, "@0H"},
        // Three lines of 16 bytes a page.
        {counting(100), "Down Down Down", {}, "@48H top16"},
        {counting(100), "Ctrl+End", {}, "@100H top64"},
        {counting(100), "Right PgDown", {}, "@48L top48"},
        {counting(100), "Shift+Down", {}, "@16H sel0-17"},
        {counting(8), "Down Down Down Up Up Up", {}, "@0H", nullptr, 1},
        // Shift+Left on byte 5's high nibble selects byte 4 only.
        {counting(6), "End Left Left Shift+Left Ctrl+X", {0, 1, 2, 3, 5}, "@4L", "04 "},
        // Down on the last line goes behind the last byte.
        {counting(8), "Down Left Left Shift+Home Ctrl+C Del", {7}, "@0H", "00 01 02 03 04 05 06 "},
        {counting(8), "Ctrl+A Ctrl+X", {}, "@0H", "00 01 02 03 04 05 06 07 "}, // never empties
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.keys);
        QGuiApplication::clipboard()->clear();
        Edit e(row.data);
        e.edit.SetBytesPerRow(row.perRow);
        e.keys(row.keys);
        EXPECT_EQ(e.model().data(), row.expected.empty() ? row.data : row.expected);
        EXPECT_EQ(state(e.model()), row.state);
        EXPECT_EQ(e.edit.verticalScrollBar()->value(), e.model().top() / row.perRow);
        EXPECT_EQ(e.edit.verticalScrollBar()->maximum(), e.model().maxTop() / row.perRow);
        if (row.copied) {
            EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), row.copied);
            EXPECT_EQ(clipboard(CHexEdit::kWindowsBinaryMime), QByteArray::fromHex(row.copied));
            EXPECT_EQ(clipboard(CHexEdit::kBinaryMime), QByteArray::fromHex(row.copied));
        }
    }
}

// Editing keys stay in the input instead of reaching the window's shortcuts;
// copying needs a selection and in the character area copies text.
TEST(HexEdit, KeysStayInTheInputEnterIsAnnouncedAndCopyTakesOnlyASelection)
{
    Edit e({'A', 'A', 0x1F, 0x20, 0x7E, 0x7F, 'z'});
    QSignalSpy enter(&e.edit, &CHexEdit::enterPressed);
    int windowEdits = 0, hotkeys = 0;
    QAction del, copy, hotkey;
    del.setShortcut(QKeySequence::Delete);
    copy.setShortcut(QKeySequence::Copy);
    hotkey.setShortcut(Qt::Key_F5);
    e.edit.addActions({&del, &copy, &hotkey});
    QObject::connect(&del, &QAction::triggered, [&] { ++windowEdits; });
    QObject::connect(&copy, &QAction::triggered, [&] { ++windowEdits; });
    QObject::connect(&hotkey, &QAction::triggered, [&] { ++hotkeys; });
    QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
    e.keys("Ctrl+C Del F5 Return");
    e.edit.copy();
    EXPECT_EQ(
        (std::tuple{QGuiApplication::clipboard()->text(), windowEdits, hotkeys, enter.count()}),
        (std::tuple{QStringLiteral("keep"), 0, 1, qsizetype(1)}));
    // Characters are typed in Windows-1252; copied as text, unprintable bytes show as ".".
    e.keys("Tab");
    QTest::sendKeyEvent(QTest::Click, &e.edit, Qt::Key_unknown, QStringLiteral("\u20ac"), {});
    e.keys("Ctrl+A Ctrl+C");
    EXPECT_TRUE(e.model().caretHidden() && QGuiApplication::clipboard()->text() == ".. ~.z");
    EXPECT_EQ(e.model().data(), (Bytes{0x80, 0x1F, 0x20, 0x7E, 0x7F, 'z'}));
    // It asks for room for three lines of its 12-pixel font.
    EXPECT_GE(e.edit.sizeHint().height(), 3 * 12);
}

TEST(HexEditModel, BadInputHasDefinedResultsAndCtrlCTypesNothing)
{
    Model m;
    std::uint8_t buffer[4] = {9, 9, 9, 9};
    m.keyDown(Model::Key::Insert, false, false);
    m.character('1', false);
    EXPECT_EQ(m.getData(buffer, 4), 0);
    for (const auto &[data, count] : {std::pair{buffer + 0, 0}, {nullptr, 5}, {buffer, -1}}) {
        m.setData(data, count);
        EXPECT_EQ(m.data(), Bytes{0}) << count;
    }
    m.setData(counting(10).data(), 10);
    // In order: the length, the two bytes copied, the length again without a buffer.
    EXPECT_EQ((std::tuple{m.getData(buffer, 2), Bytes(buffer, buffer + 4), m.getData(nullptr, -1)}),
              (std::tuple{10, Bytes{0, 1, 9, 9}, 10}));

    // Ctrl+C copies a selection and types nothing; a plain 0x03 is typing.
    m.setData(counting(4).data(), 4);
    m.selectAll();
    EXPECT_EQ(m.character(0x03, true), Model::CharResult::Copy);
    EXPECT_EQ(m.character(0x16, true), Model::CharResult::None); // Ctrl+V
    EXPECT_TRUE(m.hasSelection() && m.character(0x03, false) == Model::CharResult::None);
    EXPECT_TRUE(!m.hasSelection() && m.data() == counting(4));

    // A drag selects from where the button went down, and only while it is down.
    const int hex = m.hexColumn();
    m.mouseDrag(hex + 6, 0, 0);
    EXPECT_EQ(state(m), "@0H");
    m.mousePress(hex + 3, 0, false);
    m.beginDrag();
    m.mouseDrag(hex + 7, 0, 0);
    m.mouseRelease();
    m.mouseDrag(hex, 0, 0);
    EXPECT_EQ(state(m), "@2L sel1-3");

    const Bytes big(Model::kMaxLength + 5, 0x55);
    m.setData(big.data(), static_cast<int>(big.size()));
    m.keyDown(Model::Key::Insert, false, false);
    EXPECT_EQ(m.length(), Model::kMaxLength);
    // A full input has no append position: typing at its end overwrites.
    m.keyDown(Model::Key::End, false, true);
    EXPECT_EQ(m.caret(), Model::kMaxLength - 1);
    for (const char c : {'1', '2', '3'})
        m.character(static_cast<std::uint8_t>(c), false);
    EXPECT_TRUE(m.length() == Model::kMaxLength && m.data().back() == 0x32);
}

} // namespace
