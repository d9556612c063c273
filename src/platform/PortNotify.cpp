#include "PortNotify.h"

#include <QCoreApplication>
#include <QMutex>
#include <QPointer>

#include <atomic>

namespace {
QMutex g_targetMutex;
QPointer<QObject> g_target;
std::atomic<bool> g_hasView{false};
} // namespace

QEvent::Type PortNotifyEvent::eventType()
{
    static const auto type
        = static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 0x621));
    return type;
}

void setPortNotifyTarget(QObject *mainWindow, bool hasActiveView)
{
    QMutexLocker lock(&g_targetMutex);
    g_target = mainWindow;
    g_hasView = mainWindow != nullptr && hasActiveView;
}

bool portNotifyTargetHasView()
{
    return g_hasView.load();
}

void postPortNotify(int lParam)
{
    QMutexLocker lock(&g_targetMutex);
    if (g_target)
        QCoreApplication::postEvent(g_target.data(), new PortNotifyEvent(lParam));
}
