#pragma once

#include "platform/UiServices.h"

#include <QStringList>

#include <deque>

// Records what the program shows and answers its questions from a script.
class RecordingUiServices final : public UiServices
{
public:
    struct Message
    {
        QString text;
        QString title;
        Icon icon;
    };

    RecordingUiServices() { setUiServices(this); }
    ~RecordingUiServices() override { setUiServices(nullptr); }

    void beep() override
    {
        ++beeps;
        events << QStringLiteral("beep");
    }
    void messageBox(const QString &text, const QString &title, Icon icon) override
    {
        messages.push_back({text, title, icon});
        events << QStringLiteral("message:") + text;
    }
    Answer question(const QString &text, const QString &, bool) override
    {
        questions << text;
        if (answers.empty())
            return Answer::Cancel;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFileName(const FileDialog &dialog) override { return nextFile(dialog); }
    QString saveFileName(const FileDialog &dialog) override { return nextFile(dialog); }

    int beeps = 0;
    std::vector<Message> messages;
    QStringList events;
    QStringList questions;
    std::deque<Answer> answers;
    std::deque<QString> files; // answers of the file dialogs; empty means cancel
    std::vector<FileDialog> fileDialogs;

private:
    QString nextFile(const FileDialog &dialog)
    {
        fileDialogs.push_back(dialog);
        if (files.empty())
            return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
};
