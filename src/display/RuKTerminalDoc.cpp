#include "RuKTerminalDoc.h"

#include "display/DisplayModel.h"
#include "platform/AtomicFile.h"
#include "platform/StringTable.h"
#include "platform/UiServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString kRecentGroup = QStringLiteral("Recent File List");

QSettings recentSettings()
{
    return QSettings(QStringLiteral("ORBA"), QStringLiteral("ORBATerminal"));
}

// Field `index` of the document type string (title, document name, new name,
// filter name, extension, type id, type name).
QString documentTypeField(int index)
{
    return loadString(StringId::DocumentTemplate).section(u'\n', index, index);
}
} // namespace

CRuKTerminalDoc::CRuKTerminalDoc(CDisplayModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{}

QString CRuKTerminalDoc::programTitle()
{
    return documentTypeField(0);
}

QString CRuKTerminalDoc::title() const
{
    return m_strPathName.isEmpty() ? tr("Untitled") : QFileInfo(m_strPathName).fileName();
}

QString CRuKTerminalDoc::windowTitle() const
{
    return QStringLiteral("%1 - %2").arg(title(), programTitle());
}

void CRuKTerminalDoc::setPathName(const QString &path)
{
    m_strPathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    emit documentChanged();
}

bool CRuKTerminalDoc::OnNewDocument()
{
    if (m_model)
        m_model->clear();
    setPathName({});
    return true;
}

void CRuKTerminalDoc::reportFailure(const QString &what, const QString &reason) const
{
    uiServices().beep();
    uiServices().messageBox(what + u'\n' + reason, programTitle(), UiServices::Icon::Stop);
}

QByteArray CRuKTerminalDoc::textOfFile(const QByteArray &bytes)
{
    // The text ends at the first NUL, as a C string would.
    const qsizetype nul = bytes.indexOf('\0');
    return nul >= 0 ? bytes.left(nul) : bytes;
}

QByteArray CRuKTerminalDoc::fileOfText(const CDisplayBuffer &text)
{
    return text.toCrLfText();
}

bool CRuKTerminalDoc::OnOpenDocument(const QString &path)
{
    const QString what = tr("The file %1 could not be opened.").arg(QDir::toNativeSeparators(path));
    const QFileInfo info(path);
    if (!info.exists()) {
        reportFailure(what, tr("It does not exist."));
        return false;
    }
    if (info.isDir()) {
        reportFailure(what, tr("It is a folder."));
        return false;
    }
    // The display empties itself beyond this size too; a bigger file could
    // never be shown whole.
    if (info.size() > CDisplayModel::kHardLimit) {
        reportFailure(what, tr("It is larger than the display can hold (%1 MB).")
                                .arg(CDisplayModel::kHardLimit / (1024 * 1024)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportFailure(what, info.isReadable() ? file.errorString()
                                              : tr("You have no permission to read it."));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reportFailure(what, file.errorString());
        return false;
    }
    if (m_model)
        m_model->setText(textOfFile(bytes));
    setPathName(path);
    addToRecentFiles(m_strPathName);
    return true;
}

bool CRuKTerminalDoc::OnSaveDocument(const QString &path)
{
    const QByteArray text = m_model ? fileOfText(m_model->buffer()) : QByteArray();
    const auto fail = [&](const QString &reason) {
        reportFailure(tr("The file %1 could not be saved.").arg(QDir::toNativeSeparators(path)),
                      reason);
        return false;
    };
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return fail(
            tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder.filePath())));
    if (QFileInfo(path).isDir())
        return fail(tr("It is a folder."));
    // Whole or not at all: a full disk or a crash never leaves half a file.
    if (QString reason; !AtomicFile::save(path, text, &reason))
        return fail(reason);
    setPathName(path);
    addToRecentFiles(m_strPathName);
    return true;
}

QString CRuKTerminalDoc::fileFilter() const
{
    return QStringLiteral("%1|*%2|%3|*.*||")
        .arg(documentTypeField(3), documentTypeField(4), tr("All Files (*.*)"));
}

QString CRuKTerminalDoc::dialogDirectory() const
{
    return m_strPathName.isEmpty() ? QDir::homePath() : QFileInfo(m_strPathName).absolutePath();
}

void CRuKTerminalDoc::OnFileNew()
{
    OnNewDocument();
}

void CRuKTerminalDoc::OnFileOpen()
{
    UiServices::FileDialog dialog;
    dialog.title = tr("Open");
    dialog.filter = fileFilter();
    dialog.directory = dialogDirectory();
    dialog.defaultSuffix = QStringLiteral("ter");
    const QString file = uiServices().openFileName(dialog);
    if (!file.isEmpty())
        OnOpenDocument(file);
}

bool CRuKTerminalDoc::OnFileSave()
{
    if (m_strPathName.isEmpty())
        return OnFileSaveAs();
    return OnSaveDocument(m_strPathName);
}

bool CRuKTerminalDoc::OnFileSaveAs()
{
    UiServices::FileDialog dialog;
    dialog.title = tr("Save As");
    dialog.filter = fileFilter();
    dialog.directory = dialogDirectory();
    dialog.proposedName = title() + (m_strPathName.isEmpty() ? documentTypeField(4) : QString());
    dialog.defaultSuffix = QStringLiteral("ter");
    dialog.confirmOverwrite = true;
    const QString file = uiServices().saveFileName(dialog);
    if (file.isEmpty())
        return false;
    return OnSaveDocument(file);
}

void CRuKTerminalDoc::OnOpenRecentFile(int index)
{
    const QStringList files = recentFiles();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    if (!OnOpenDocument(path))
        removeFromRecentFiles(path);
}

QStringList CRuKTerminalDoc::recentFiles() const
{
    // Read every time: another running copy of the program may have changed it.
    QSettings settings = recentSettings();
    settings.beginGroup(kRecentGroup);
    QStringList files;
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString f = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!f.isEmpty())
            files << f;
    }
    return files;
}

void CRuKTerminalDoc::storeRecentFiles(const QStringList &files)
{
    QSettings settings = recentSettings();
    settings.beginGroup(kRecentGroup);
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= files.size())
            settings.setValue(key, files[i - 1]);
        else
            settings.remove(key);
    }
    emit recentFilesChanged();
}

void CRuKTerminalDoc::addToRecentFiles(const QString &path)
{
    QStringList files = recentFiles();
    if (!files.isEmpty() && files.constFirst() == path)
        return; // already the newest: the settings stay untouched
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMaxRecentFiles)
        files.removeLast();
    storeRecentFiles(files);
}

void CRuKTerminalDoc::removeFromRecentFiles(const QString &path)
{
    QStringList files = recentFiles();
    if (files.removeAll(path) > 0)
        storeRecentFiles(files);
}
