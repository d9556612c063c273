#pragma once

#include <QString>

// Everything the program asks of the user or shows in a box goes through this
// seam: the window shows dialogs, a run without a window writes to standard
// error, and tests record instead of blocking on a modal dialog.
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

// Without anybody to ask: messages go to standard error as one line each,
// questions are answered No (Cancel where that is offered), no file is chosen.
class ConsoleUiServices final : public UiServices
{
public:
    void beep() override {}
    void messageBox(const QString &text, const QString &title, Icon icon) override;
    Answer question(const QString &text, const QString &title, bool withCancel) override;
    QString openFileName(const FileDialog &) override { return {}; }
    QString saveFileName(const FileDialog &) override { return {}; }
};

// The services in use: those a test installed, else the default.
UiServices &uiServices();
// Installs `services` (not owned); nullptr restores the default.
void setUiServices(UiServices *services);
// The default (not owned): the window's dialogs once a window program runs;
// nullptr (the start) means the console.
void setDefaultUiServices(UiServices *services);
