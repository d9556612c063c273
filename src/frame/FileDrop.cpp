#include "FileDrop.h"

#include "display/RuKTerminalDoc.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace {
// The local file a drag brings, or nothing.
QString droppedFile(const QMimeData *data)
{
    return data->hasUrls() ? data->urls().constFirst().toLocalFile() : QString();
}
} // namespace

CFileDrop::CFileDrop(QWidget *window, CRuKTerminalDoc *document)
    : QObject(window)
    , m_document(document)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool CFileDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString file = droppedFile(drop->mimeData());
    if (file.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        // Opened once the drop is done, so a failure message does not hold
        // the file manager's drag.
        QTimer::singleShot(0, m_document, [doc = m_document, file] { doc->OnOpenDocument(file); });
    }
    return true;
}
