#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// Everything the program asks of the user or shows in a box goes through this
// seam, so that tests record it instead of blocking on a modal dialog.
class UiServices
{
public:
    enum class Icon { None, Information, Warning, Stop, Question };
    enum class Answer { Yes, No, Cancel };

    struct FileDialog
    {
        QString title;
        // Filter in the "Name (*.EXT)|*.EXT|All Files (*.*)|*.*||" form of the
        // program's resources; converted for the platform's dialog.
        QString filter;
        QString directory;
        QString proposedName;
        QString defaultSuffix; // without the dot; "" or "*" for none
        bool confirmOverwrite = true;
    };

    virtual ~UiServices() = default;

    virtual void beep() = 0;
    virtual void messageBox(const QString &text, const QString &title, Icon icon) = 0;
    virtual Answer question(const QString &text, const QString &title, bool withCancel) = 0;
    // The chosen file's path; empty when cancelled.
    virtual QString openFileName(const FileDialog &dialog) = 0;
    virtual QString saveFileName(const FileDialog &dialog) = 0;
};

// The services in use; the Qt implementation unless a test installed its own.
UiServices &uiServices();
// Installs `services` (not owned); nullptr restores the Qt implementation.
void setUiServices(UiServices *services);
// The window that dialogs and boxes are centred on.
void setUiParentWindow(QWidget *window);

// Qt filter text ("Name (*.EXT *.ext);;All Files (*)") from the resource form.
QString qtFileFilter(const QString &resourceFilter);

class QtUiServices final : public UiServices
{
public:
    void beep() override;
    void messageBox(const QString &text, const QString &title, Icon icon) override;
    Answer question(const QString &text, const QString &title, bool withCancel) override;
    QString openFileName(const FileDialog &dialog) override;
    QString saveFileName(const FileDialog &dialog) override;
};
