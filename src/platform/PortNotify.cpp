#include "PortNotify.h"

#include <QCoreApplication>
#include <QPointer>

#include <atomic>
#include <mutex>

// An event is made on a port thread and read and deleted on the user-interface
// thread; Qt's queue of posted events orders the two under its own lock, which
// ThreadSanitizer cannot see in an uninstrumented Qt. The hand-off is told to
// it here: a release when the event is posted, an acquire where it arrives.
#if defined(__SANITIZE_THREAD__)
#define ORBA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORBA_TSAN 1
#endif
#endif
#ifdef ORBA_TSAN
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#define ORBA_TSAN_ACQUIRE(addr) __tsan_acquire(addr)
#define ORBA_TSAN_RELEASE(addr) __tsan_release(addr)
#else
#define ORBA_TSAN_ACQUIRE(addr) static_cast<void>(addr)
#define ORBA_TSAN_RELEASE(addr) static_cast<void>(addr)
#endif

namespace {
std::mutex g_targetMutex;
QPointer<QObject> g_target;
std::atomic<bool> g_hasView{false};
} // namespace

PortNotifyEvent::~PortNotifyEvent()
{
    ORBA_TSAN_ACQUIRE(this);
}

const PortNotifyEvent *PortNotifyEvent::from(const QEvent *event)
{
    ORBA_TSAN_ACQUIRE(const_cast<QEvent *>(event));
    return event->type() == eventType() ? static_cast<const PortNotifyEvent *>(event) : nullptr;
}

int PortNotifyEvent::lParam() const
{
    ORBA_TSAN_ACQUIRE(const_cast<PortNotifyEvent *>(this));
    return m_lParam;
}

QEvent::Type PortNotifyEvent::eventType()
{
    static const auto type
        = static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 0x621));
    return type;
}

void setPortNotifyTarget(QObject *mainWindow, bool hasActiveView)
{
    std::lock_guard lock(g_targetMutex);
    g_target = mainWindow;
    g_hasView = mainWindow != nullptr && hasActiveView;
}

bool portNotifyTargetHasView()
{
    return g_hasView.load();
}

void postPortNotify(int lParam)
{
    std::lock_guard lock(g_targetMutex);
    if (g_target) {
        auto *event = new PortNotifyEvent(lParam);
        ORBA_TSAN_RELEASE(event);
        QCoreApplication::postEvent(g_target.data(), event);
    }
}
