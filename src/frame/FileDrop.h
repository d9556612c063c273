#pragma once

#include <QObject>

class CRuKTerminalDoc;
class QWidget;

// A file dropped on the window from a file manager opens as a saved display.
class CFileDrop final : public QObject
{
    Q_OBJECT
public:
    CFileDrop(QWidget *window, CRuKTerminalDoc *document);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CRuKTerminalDoc *m_document;
};
