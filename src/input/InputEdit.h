#pragma once

#include "input/InputHistory.h"

#include <QPlainTextEdit>

// The text input of the input bar: a small multi-line edit whose Enter key
// sends instead of starting a new line. Up on its first line and Down on its
// last recall the texts sent before. Pasted text keeps its lines (each is
// sent as a text of its own), its line breaks made uniform and the trailing
// ones dropped.
class CInputEdit final : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CInputEdit(QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // Keeps a text that was sent, for Up and Down.
    void remember(const QString &text) { m_history.add(text); }
    const CInputHistory &history() const { return m_history; }

signals:
    void enterPressed();
    // Text of `lines` lines (two or more) was pasted.
    void linesPasted(int lines);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void showRecalled(const QString &text);

    CInputHistory m_history;
};
