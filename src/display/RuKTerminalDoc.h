#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

class CDisplayBuffer;
class CDisplayModel;

// The document of the terminal: the display's text is its whole content. New
// empties the display, Save writes the text to a ".ter" file (8-bit characters,
// CR LF line breaks), Open puts a saved text back. Keeps the list of the four
// files opened or saved last.
class CRuKTerminalDoc final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRecentFiles = 4;

    // `model` may be null: then the document has nothing to load into or save.
    explicit CRuKTerminalDoc(CDisplayModel *model, QObject *parent = nullptr);

    // An untitled document and an empty display.
    bool OnNewDocument();
    // Shows the text of a saved file, up to its first NUL byte, in the default
    // colour. A file that cannot be read is reported with its name and the
    // reason; display and document stay as they were.
    bool OnOpenDocument(const QString &path);
    // Writes the display text to `path`; a failure is reported and leaves an
    // existing file as it was.
    bool OnSaveDocument(const QString &path);

    // The File menu commands, with their dialogs.
    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    // Opens entry `index` of the recent-file list; an entry that fails to open
    // leaves the list.
    void OnOpenRecentFile(int index);

    const QString &pathName() const { return m_strPathName; }
    // The file's name, or "Untitled".
    QString title() const;
    // The window title: document title and program name.
    QString windowTitle() const;
    // Most recent first.
    QStringList recentFiles() const;

    // A changed display never makes the document "modified": the display of a
    // terminal changes with every received byte, and a save question at every
    // New, Open or exit would only be clicked away.
    bool isModified() const { return false; }

    // "ORBATerminal" in the user's language.
    static QString programTitle();
    // The text a document file shows: its bytes up to the first NUL.
    static QByteArray textOfFile(const QByteArray &bytes);
    // The bytes a document file holds for the display's text: 8-bit
    // characters, CR LF line breaks.
    static QByteArray fileOfText(const CDisplayBuffer &text);

signals:
    // Path and title changed.
    void documentChanged();
    void recentFilesChanged();

private:
    void setPathName(const QString &path);
    void addToRecentFiles(const QString &path);
    void removeFromRecentFiles(const QString &path);
    void storeRecentFiles(const QStringList &files);
    QString fileFilter() const;
    QString dialogDirectory() const;
    void reportFailure(const QString &what, const QString &reason) const;

    CDisplayModel *m_model;
    QString m_strPathName;
};
