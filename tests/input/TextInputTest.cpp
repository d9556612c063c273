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
    };
    for (const auto &[typed, lines] : rows)
        EXPECT_EQ(SendFraming::inputLines(typed), lines) << typed.toStdString();
}

TEST(TextInput, historyRecallsOlderAndNewerTextsAndTheDraft)
{
    CInputHistory h;
    EXPECT_FALSE(h.older(QString()));
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

TEST(TextInput, upAndDownRecallOnlyBeyondTheFirstAndLastLineAndEnterNeverBreaksALine)
{
    CInputEdit edit;
    edit.show();
    edit.remember("older");
    edit.remember("newer");
    QApplication::clipboard()->setText("one\r\ntwo\r\n");
    edit.paste();
    // In a pasted text of several lines Up first goes to its first line; a
    // recalled text has the caret at its end, ready to go on typing.
    const std::pair<Qt::Key, const char *> keys[] = {
        {Qt::Key_Down, "one\ntwo"}, {Qt::Key_Up, "one\ntwo"},
        {Qt::Key_Up, "newer"},      {Qt::Key_Up, "older"},
        {Qt::Key_Down, "newer"},    {Qt::Key_Down, "one\ntwo"}, // the draft again
        {Qt::Key_Up, "one\ntwo"},   {Qt::Key_Up, "newer"},
    };
    for (const auto &[key, shown] : keys) {
        QTest::keyClick(&edit, key);
        EXPECT_EQ(edit.toPlainText(), shown);
    }
    QSignalSpy enter(&edit, &CInputEdit::enterPressed);
    QTest::keyClicks(&edit, "X");
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(enter.count() == 1 && edit.toPlainText() == "newerX");
}

} // namespace
