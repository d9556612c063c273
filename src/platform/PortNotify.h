#pragma once

#include <QEvent>

class QObject;

// What a notification says (its lParam).
namespace PortNotifyCode {
enum : int {
    BlockQueued = 0,       // received blocks wait in the received-block queue
    NetLinkLost = 1,       // the peer of the TCP server left
    LinkStateChanged = 2,  // the port's link state changed: ask the port
    NotSent = 3,           // bytes handed to the port were not sent: ask the port
    ModemLinesChanged = 4, // a serial link's modem lines changed: ask the port
    BreakDone = 5,         // a break asked for is sent or failed: ask the port
};
}

// The notification that port threads post to the main window. Posted, never
// sent, so port threads never wait for the user interface.
class PortNotifyEvent final : public QEvent
{
public:
    static QEvent::Type eventType();
    explicit PortNotifyEvent(int lParam)
        : QEvent(eventType())
        , m_lParam(lParam)
    {}
    ~PortNotifyEvent() override;
    // `event` as a port notification, or nullptr when it is another event.
    // The receiver's first look at a posted event.
    static const PortNotifyEvent *from(const QEvent *event);
    int lParam() const;

private:
    int m_lParam;
};

// The window that receives the notifications, and whether it has a display
// view (ports keep received bytes staged while it has none). UI thread only;
// read from any thread.
void setPortNotifyTarget(QObject *mainWindow, bool hasActiveView);
bool portNotifyTargetHasView();
// Posts a PortNotifyEvent to the target; does nothing when there is none.
void postPortNotify(int lParam);
