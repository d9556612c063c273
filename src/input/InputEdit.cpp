#include "InputEdit.h"

#include <QKeyEvent>

CInputEdit::CInputEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("textInput"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
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
    QPlainTextEdit::keyPressEvent(event);
}
