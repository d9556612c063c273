#pragma once

#include "platform/UiServices.h"

class QWidget;

// The services with Qt's message boxes and file dialogs.
class QtUiServices final : public UiServices
{
public:
    void beep() override;
    void messageBox(const QString &text, const QString &title, Icon icon) override;
    Answer question(const QString &text, const QString &title, bool withCancel) override;
    QString openFileName(const FileDialog &dialog) override;
    QString saveFileName(const FileDialog &dialog) override;
};

// Makes Qt's dialogs the default services of a program with windows.
void useQtUiServices();
// The window that dialogs and boxes are centred on.
void setUiParentWindow(QWidget *window);

// Qt filter text ("Name (*.EXT *.ext);;All Files (*)") from the resource form.
QString qtFileFilter(const QString &resourceFilter);
