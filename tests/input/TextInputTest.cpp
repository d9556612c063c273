#include "input/InputEdit.h"
#include "input/InputHistory.h"
#include "input/SendFraming.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TextInput, pastedLinesAreSentOneByOneWithoutEmptyOnes)
{
    const std::pair<QString, QStringList> rows[] = {
        {"READ\r\nVER\r\n", {"READ", "VER"}},
        {"A\r\rB\n\n\nC\r", {"A", "B", "C"}},
        {" \n ", {" ", " "}},
        {"\n\r\n", {}},
        {"", {}},
    };
    for (const auto &[typed, lines] : rows)
        EXPECT_EQ(SendFraming::inputLines(typed), lines) << typed.toStdString();
}

TEST(TextInput, historyRecallsOlderAndNewerTextsAndTheDraft)
{
    CInputHistory h;
    EXPECT_FALSE(h.older(QString()));
    EXPECT_FALSE(h.newer());
    for (const char *sent : {"ATZ", "", "READ", "READ", "VER"})
        h.add(QString::fromLatin1(sent));
    EXPECT_EQ(h.entries(), (QStringList{"ATZ", "READ", "VER"}));
    for (const char *older : {"VER", "READ", "ATZ"})
        EXPECT_EQ(h.older("half typed"), older);
    EXPECT_FALSE(h.older("ATZ")); // the oldest stays
    // With the input not cleared after sending, Up skips what it shows.
    h.add("STATUS");
    EXPECT_EQ(h.older("STATUS"), "VER");
    for (int i = 0; i < CInputHistory::kMaxEntries + 10; ++i)
        h.add(QString::number(i));
    EXPECT_EQ(h.entries().size(), CInputHistory::kMaxEntries);
    EXPECT_EQ(h.entries().constFirst(), "10");
}

TEST(TextInput, upAndDownRecallOnlyBeyondTheFirstAndLastLine)
{
    CInputEdit edit;
    edit.show();
    edit.setFocus();
    edit.remember("older");
    edit.remember("newer");
    QTest::keyClicks(&edit, "draft");
    const auto press = [&](Qt::Key key, const char *shown) {
        QTest::keyClick(&edit, key);
        EXPECT_EQ(edit.toPlainText(), shown);
    };
    press(Qt::Key_Up, "newer");
    EXPECT_EQ(edit.textCursor().position(), 5); // at the end, ready to go on typing
    press(Qt::Key_Down, "draft");
    // In a pasted text of several lines the keys move between its lines first.
    QApplication::clipboard()->setText("one\r\ntwo\r\n");
    edit.clear();
    edit.paste();
    EXPECT_EQ(edit.toPlainText(), "one\ntwo"); // no line break at the end
    press(Qt::Key_Up, "one\ntwo");
    EXPECT_EQ(edit.textCursor().blockNumber(), 0);
    press(Qt::Key_Up, "newer");
    QSignalSpy enter(&edit, &CInputEdit::enterPressed);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(enter.count(), 1);
    EXPECT_EQ(edit.toPlainText(), "newer"); // Enter never adds a line break
}

} // namespace
