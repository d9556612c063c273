#pragma once

#include <QPlainTextEdit>

// The text input of the input bar: a small multi-line edit whose Enter key
// sends instead of starting a new line.
class CInputEdit final : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CInputEdit(QWidget *parent = nullptr);
    QSize sizeHint() const override;

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
