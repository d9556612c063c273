#include "InputEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

CInputEdit::CInputEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("textInput"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    // Room for a command of some length, however small the window gets.
    setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    const int lines = 2;
    setFixedHeight(fontMetrics().lineSpacing() * lines + 2 * frameWidth()
                   + static_cast<int>(document()->documentMargin() * 2));
}

QSize CInputEdit::sizeHint() const
{
    return {400, height()};
}

void CInputEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        return;
    }
    // Up and Down move between the lines of a pasted text, and beyond its
    // first or last line through the texts sent before.
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    const QTextCursor cursor = textCursor();
    if (plain && event->key() == Qt::Key_Up && cursor.block() == document()->firstBlock()) {
        if (const auto text = m_history.older(toPlainText()))
            showRecalled(*text);
        return;
    }
    if (plain && event->key() == Qt::Key_Down && cursor.block() == document()->lastBlock()) {
        if (const auto text = m_history.newer())
            showRecalled(*text);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CInputEdit::showRecalled(const QString &text)
{
    setPlainText(text);
    moveCursor(QTextCursor::End);
}

void CInputEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // One kind of line break, no empty lines and none at the end: the input
    // shows the lines that are sent, and an empty line sends nothing.
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    while (text.contains(QLatin1String("\n\n")))
        text.replace(QLatin1String("\n\n"), QLatin1String("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    textCursor().insertText(text);
    ensureCursorVisible();
    if (const int lines = document()->blockCount(); lines > 1)
        emit linesPasted(lines);
}
